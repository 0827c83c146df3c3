#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;

// The modeless find dialog of the rich-text control: a text, whole-word and match-case options,
// a direction, and Find Next. It only asks; the control searches.
class FindDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FindDialog(QWidget *parent = nullptr);

    QString findText() const;
    void setFindText(const QString &text);
    bool forward() const;
    void setForward(bool on);
    bool matchCase() const;
    void setMatchCase(bool on);
    bool wholeWord() const;
    void setWholeWord(bool on);

Q_SIGNALS:
    void findNext(const QString &text, bool forward, bool matchCase, bool wholeWord);

private:
    QLineEdit *m_text;
    QCheckBox *m_wholeWord;
    QCheckBox *m_matchCase;
    QRadioButton *m_up;
    QRadioButton *m_down;
};
