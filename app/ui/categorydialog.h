#pragma once

#include <QDialog>

class FieldBinding;
class QAbstractButton;
class QLineEdit;

// The category editor ("frmAECategory"): the name of a new category, or a new name for one. It
// is shown with the category table already inserting or editing, and posts or cancels itself.
// Closing it by its title-bar close box or Escape outside the name box cancels, like Cancel.
class CategoryDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CategoryDialog(QWidget *parent = nullptr);

    void btnSaveClick();
    void btnCancelClick();

    // Escape or the close box: the same as Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();

    QLineEdit *m_name = nullptr;   // DBEdit1
    FieldBinding *m_binding = nullptr;
};
