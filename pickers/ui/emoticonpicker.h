#pragma once

#include <QDialog>

class QLabel;

// The emoticon picker ("frmEmoticons"): 29 small pictures; pointing at one names it in Label1,
// clicking one puts its picture on the clipboard as a metafile, sets EmoticonChosen and closes.
// The recipe editor pastes the picture and resets the flag. Label1 keeps the last name between
// showings.
class EmoticonPicker : public QDialog
{
    Q_OBJECT
public:
    explicit EmoticonPicker(QWidget *parent = nullptr);

    // Set when an emoticon was chosen and put on the clipboard; the editor resets it.
    bool EmoticonChosen = false;

    void Image2MouseMove(int tag);
    void Image2Click(int tag);
    void btnCloseClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *m_label = nullptr;
};
