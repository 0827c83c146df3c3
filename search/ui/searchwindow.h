#pragma once

#include <QDialog>

class QAbstractButton;
class QLineEdit;

// The tag search window ("frmSearch"): modeless and always on top. Start walks every recipe from
// the first category; each hit is selected in the main window and opened in the recipe editor;
// Next goes on from wherever the tables stand.
class SearchWindow : public QDialog
{
    Q_OBJECT
public:
    explicit SearchWindow(QWidget *parent = nullptr);

    void btnSearchClick();
    void btnNextClick();
    void btnCancelClick();
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormShow();
    void FormClose();
    void RunTagSearch();
    void ShowSearchHit(int recNo);
    [[nodiscard]] bool requireText();
    void focusTag();

    QLineEdit *m_tag = nullptr;            // edtTag
    QAbstractButton *m_next = nullptr;     // btnNext
};
