#pragma once
// Page arithmetic of printing: printer dots, millimetres and the page units
// in which one unit is one screen pixel.

// a * b / c with a 64-bit product, rounded to the nearest integer (halves
// away from zero); -1 when c is 0 or the result does not fit, as the
// platform's MulDiv answers.
int MulDivRound(int a, int b, int c);

// Whole printer dots per millimetre at a resolution in dots per inch.
int DotsPerMm(int dpi);

// What a printer context tells of its page, in dots.
struct PrinterMetrics {
    int dpiX = 0;
    int dpiY = 0;
    int offsetX = 0;      // paper edge to the printable area
    int offsetY = 0;
    int horzRes = 0;      // printable area
    int vertRes = 0;
    int paperWidth = 0;
    int paperHeight = 0;
};

struct MarginDots {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

// The page in page units; the origin is the printable area's top-left corner.
struct PageGeometry {
    int scaleX = 0;       // printer dots per screen pixel, in percent
    int scaleY = 0;
    int textLeft = 0;     // x of the body and the header
    int textTop = 0;      // y of a page's first body line
    int textWidth = 0;
    int textHeight = 0;   // the page-break bound on y
    int footerBase = 0;   // bottom of the printable area
    int pageWidth = 0;    // width of the printable area
};

// Dots to page units along an axis of the given scale.
int DotsToUnits(int dots, int scale);
int UnitsToDots(int units, int scale);

// False when a scale is 0 or less: nothing can be laid out.
bool ComputePageGeometry(const PrinterMetrics& printer, const MarginDots& margins, int screenDpiX,
                         int screenDpiY, PageGeometry& page);

// Walks the body lines down the pages: a line goes on the current page when
// its bottom (y + lineStep) is not below textHeight; otherwise a new page
// starts at textTop.
class PageFlow {
public:
    PageFlow(int textTop, int textHeight, int lineStep);
    bool LineNeedsNewPage() const { return textHeight_ < y_ + lineStep_; }
    void NewPage();
    void Advance() { y_ += lineStep_; }
    int Y() const { return y_; }
    int Page() const { return page_; }

private:
    int textTop_;
    int textHeight_;
    int lineStep_;
    int y_;
    int page_ = 1;
};

// Pages that a document of lineCount lines fills.
int PageCount(int lineCount, int textTop, int textHeight, int lineStep);
