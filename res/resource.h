/* Identifiers shared by the resource script and the program.
   Only #define lines, so that windres and the C++ compiler can both read it;
   repeating an identical definition is harmless in both. */

/* Icons */
#define IDI_PROGRAM             1
#define IDI_DOCUMENT            2

/* File menu */
#define IDM_FILENEW             1001
#define IDM_FILEOPEN            1002
#define IDM_FILESAVE            1003
#define IDM_FILESAVEAS          1004
#define IDM_FILEPRINT           1005
#define IDM_FILEEXIT            1006
#define IDM_FILESETUP           1008
#define IDM_FILEINSERT          1010
#define IDM_FILEPAGESETUP       1011

/* Edit menu */
#define IDM_EDITUNDO            2001
#define IDM_EDITCUT             2002
#define IDM_EDITCOPY            2003
#define IDM_EDITPASTE           2004
#define IDM_EDITCLEAR           2005
#define IDM_EDITSELECTALL       2006
#define IDM_EDITDATEKOKI        2007
#define IDM_EDITDATEHEISEI      2008
#define IDM_EDITDATESEIREKI     2009
#define IDM_EDITSELECTBELOW     2010
#define IDM_EDITSELECTABOVE     2011

/* Search menu */
#define IDM_SEARCHFIND          3001
#define IDM_SEARCHNEXT          3002
#define IDM_SEARCHPREV          3003
#define IDM_SEARCHREPLACE       3004
#define IDM_SEARCHGOTOLINE      3005
#define IDM_SEARCHTOP           3006
#define IDM_SEARCHBOTTOM        3007

/* Settings menu */
#define IDM_OPTWRAP             4001
#define IDM_OPTHARDBREAK        4002
#define IDM_OPTOEMCONVERT       4003
#define IDM_OPTFONT             4004

/* Window menu; the MDI client numbers its document entries from IDM_FIRSTCHILD */
#define IDM_WINTILEVERT         5001
#define IDM_WINTILEHORZ         5002
#define IDM_WINCASCADE          5003
#define IDM_WINCLOSEALL         5004
#define IDM_WINARRANGE          5005
#define IDM_FIRSTCHILD          5100

/* Usage menu; F1 and Shift+F1 exist only as accelerators */
#define IDM_HELPF1              6001
#define IDM_HELPABOUT           6002
#define IDM_HELPSHIFTF1         6003
#define IDM_HELPDOCINFO         6004

/* Dialog templates; the last three carry the common dialogs' own ordinals */
#define IDD_GOTOLINE            100
#define IDD_OPEN                200
#define IDD_ABOUT               300
#define IDD_FIND                400
#define IDD_SAVEAS              500
#define IDD_PRINTING            600
#define IDD_REPLACE             700
#define IDD_PAGELAYOUT          800
#define IDD_PRINTDLG            1538
#define IDD_PRINTSETUPDLG       1539
#define IDD_FONTDLG             1543

/* The edit control of a document window (also the MDI client's child id) */
#define IDC_EDIT                3244

/* Go-to-line dialog */
#define IDC_GOTOLINE_NUMBER     101
#define IDC_GOTOLINE_MAX        102
#define IDC_GOTOLINE_LABEL      103

/* Open and save-as dialogs; the path line and the directory list are shared */
#define IDC_OPEN_NAME           201
#define IDC_OPEN_FILES          202
#define IDC_DIRPATH             203
#define IDC_DIRLIST             204
#define IDC_OPEN_TYPES          205
#define IDC_OPEN_TYPES_LABEL    206
#define IDC_OPEN_PATH_LABEL     207
#define IDC_SAVEAS_NAME_LABEL   501
#define IDC_SAVEAS_NAME         502

/* Find and replace dialogs; the find field is shared */
#define IDC_FIND_LABEL          100
#define IDC_FIND_TEXT           401
#define IDC_FIND_BACKWARD       402
#define IDC_REPLACE_TEXT        702
#define IDC_REPLACE_FIND_LABEL  703
#define IDC_REPLACE_TEXT_LABEL  704
#define IDC_REPLACE_ALL         707
#define IDC_REPLACE_AND_FIND    709

/* Printing progress dialog */
#define IDC_PRINTING_TITLE_LABEL  100
#define IDC_PRINTING_DEVICE_LABEL 102
#define IDC_PRINTING_PORT_LABEL   104
#define IDC_PRINTING_DEVICE       601
#define IDC_PRINTING_PORT         602
#define IDC_PRINTING_TITLE        603
#define IDC_PRINTING_FONT_LABEL   604
#define IDC_PRINTING_FONT         605

/* Page layout dialog */
#define IDC_PAGELAYOUT_HEADER_LABEL 801
#define IDC_PAGELAYOUT_HEADER       802
#define IDC_PAGELAYOUT_FOOTER_LABEL 803
#define IDC_PAGELAYOUT_PRINT        804
#define IDC_PAGELAYOUT_FOOTER       805
#define IDC_PAGELAYOUT_MARGINS      806
#define IDC_PAGELAYOUT_LEFT_LABEL   807
#define IDC_PAGELAYOUT_LEFT         808
#define IDC_PAGELAYOUT_RIGHT_LABEL  809
#define IDC_PAGELAYOUT_RIGHT        810
#define IDC_PAGELAYOUT_TOP_LABEL    811
#define IDC_PAGELAYOUT_TOP          812
#define IDC_PAGELAYOUT_BOTTOM_LABEL 813
#define IDC_PAGELAYOUT_BOTTOM       814
