#pragma once

class Browser;
class BusyNotice;
class CategoryDialog;
class CharacterMap;
class ConversionsWindow;
class EmoticonPicker;
class HeaderFooterDialog;
class MainWindow;
class MarginsDialog;
class PrintPreviewWindow;
class RecipeEditor;
class SearchWindow;
class TableBuilder;

// The twelve windows of a run, one instance each, created at start-up in this order and kept until
// the end. Each carries its instance name as its Qt object name. A window may use the pointers of
// windows whose modules it depends on; the main window is reached from below through `browser`.
struct WindowSet {
    MainWindow *frmMain = nullptr;
    Browser *browser = nullptr;               // frmMain, as seen by the other windows
    HeaderFooterDialog *HeaderFooterForm = nullptr;
    MarginsDialog *MarginsForm = nullptr;
    PrintPreviewWindow *PrintPreviewForm = nullptr;
    CategoryDialog *frmAECategory = nullptr;
    RecipeEditor *frmAERecipe = nullptr;
    CharacterMap *DLLForm = nullptr;
    EmoticonPicker *frmEmoticons = nullptr;
    SearchWindow *frmSearch = nullptr;
    BusyNotice *frmExport = nullptr;
    ConversionsWindow *frmConversions = nullptr;
    TableBuilder *DllForms = nullptr;
};

// The process-wide window set. Empty until start-up creates the windows; tests fill what they need.
WindowSet &windows();
