#include "app/ui/application.h"

#include "shell/appinfo.h"
#include "shell/busynotice.h"
#include "shell/prompt.h"
#include "shell/windowset.h"
#include "app/ui/categorydialog.h"
#include "app/ui/mainwindow.h"
#include "conversions/ui/conversionswindow.h"
#include "editor/ui/recipeeditor.h"
#include "pickers/ui/charactermap.h"
#include "pickers/ui/emoticonpicker.h"
#include "printing/ui/headerfooterdialog.h"
#include "printing/ui/marginsdialog.h"
#include "printing/ui/printpreviewwindow.h"
#include "search/ui/searchwindow.h"
#include "store/recipestore.h"
#include "tables/ui/tablebuilder.h"

#include <QApplication>
#include <QIcon>

void createWindows(const QString &dataDirectory)
{
    WindowSet &set = windows();
    // The order matters: the main window opens the tables that later windows bind to, and the
    // page setup dialogs exist before the preview window reads them.
    set.frmMain = new MainWindow(dataDirectory);
    set.browser = set.frmMain;
    QWidget *main = set.frmMain;
    set.HeaderFooterForm = new HeaderFooterDialog(main);
    set.MarginsForm = new MarginsDialog(main);
    set.PrintPreviewForm = new PrintPreviewWindow(main);
    set.frmAECategory = new CategoryDialog(main);
    set.frmAERecipe = new RecipeEditor(main);
    set.DLLForm = new CharacterMap(main);
    set.frmEmoticons = new EmoticonPicker(main);
    set.frmSearch = new SearchWindow(main);
    set.frmExport = new BusyNotice(main);
    set.frmConversions = new ConversionsWindow(main);
    set.DllForms = new TableBuilder(main);

    // Recipes filed under a category the category file does not hold are kept, and the user is told.
    const QString unfiled = set.frmMain->store().unfiledNotice();
    if (!unfiled.isEmpty())
        Prompt::instance().error(unfiled);
}

void destroyWindows()
{
    WindowSet &set = windows();
    // The other windows are children of the main window and go with it; deleting the main window
    // closes the tables, which writes them.
    delete set.frmMain;
    set = WindowSet();
}

int runSaporin(const QString &dataDirectory)
{
    QApplication::setQuitOnLastWindowClosed(false);
    // Every window, and the task bar entry, carry the program's icon; the desktop file name ties
    // the running program to its menu entry.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/desktop/saporin.svg")));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.saporin.Saporin"));
    createWindows(dataDirectory);
    // Another window or command has these recipes open: it was told in the error box, and this
    // run ends before it could change anything.
    if (windows().frmMain->store().lockedElsewhere()) {
        destroyWindows();
        return 1;
    }
    windows().frmMain->show();
    const int code = QApplication::exec();
    const bool written = windows().frmMain->closeStore();
    destroyWindows();
    return written ? code : 1;
}
