#include "print/page_geometry.h"

#include <climits>

int MulDivRound(int a, int b, int c)
{
    if (c == 0) {
        return -1;
    }
    long long product = static_cast<long long>(a) * b;
    long long divisor = c;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    const long long half = divisor / 2;
    const long long result = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
    if (result > INT_MAX || result < -INT_MAX) {
        return -1;
    }
    return static_cast<int>(result);
}

int DotsPerMm(int dpi)
{
    return MulDivRound(dpi, 10, 254);
}

int DotsToUnits(int dots, int scale)
{
    return MulDivRound(dots, 100, scale);
}

int UnitsToDots(int units, int scale)
{
    return MulDivRound(units, scale, 100);
}

bool ComputePageGeometry(const PrinterMetrics& printer, const MarginDots& margins, int screenDpiX,
                         int screenDpiY, PageGeometry& page)
{
    page = PageGeometry();
    page.scaleX = MulDivRound(printer.dpiX, 100, screenDpiX);
    page.scaleY = MulDivRound(printer.dpiY, 100, screenDpiY);
    if (page.scaleX <= 0 || page.scaleY <= 0) {
        return false;
    }
    page.textLeft = DotsToUnits(margins.left - printer.offsetX, page.scaleX);
    page.textTop = DotsToUnits(margins.top - printer.offsetY, page.scaleY);
    page.textWidth = DotsToUnits(printer.paperWidth - margins.left - margins.right, page.scaleX);
    page.textHeight = DotsToUnits(printer.paperHeight - margins.top - margins.bottom, page.scaleY);
    page.footerBase = DotsToUnits(printer.vertRes, page.scaleY);
    page.pageWidth = DotsToUnits(printer.horzRes, page.scaleX);
    return true;
}

PageFlow::PageFlow(int textTop, int textHeight, int lineStep)
    : textTop_(textTop), textHeight_(textHeight), lineStep_(lineStep), y_(textTop)
{
}

void PageFlow::NewPage()
{
    y_ = textTop_;
    ++page_;
}

int PageCount(int lineCount, int textTop, int textHeight, int lineStep)
{
    PageFlow flow(textTop, textHeight, lineStep);
    for (int i = 0; i < lineCount; ++i) {
        if (flow.LineNeedsNewPage()) {
            flow.NewPage();
        }
        flow.Advance();
    }
    return flow.Page();
}
