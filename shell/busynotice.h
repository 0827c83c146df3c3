#pragma once

#include <QDialog>

#include <QElapsedTimer>
#include <QMargins>

class QLabel;
class QMovie;

// The busy notice ("frmExport"): a small always-on-top window that says a recipe is being loaded
// or saved. Its animation runs on Qt's timers, so it keeps moving as long as the GUI thread
// processes timer events: long pure work goes through runOffGuiThread(), and a long step that must
// stay on the GUI thread calls keepAlive() now and then.
class BusyNotice : public QDialog
{
    Q_OBJECT
public:
    explicit BusyNotice(QWidget *parent = nullptr);
    ~BusyNotice() override;

    // Hourglass, caption and label set to the message, shown modelessly, painted before returning.
    void showMessage(const QString &message);
    // Normal cursor back, window closed. Safe to call when the notice is not shown.
    void finish();

    // Advances and repaints the animation at once if a frame is due; cheap when none is.
    void keepAlive();

    [[nodiscard]] QString message() const;
    [[nodiscard]] int currentFrame() const;
    [[nodiscard]] int frameCount() const;

Q_SIGNALS:
    void frameShown(int frame);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void centreOnScreen();

    QLabel *m_status = nullptr;     // lblStatus
    QLabel *m_animator = nullptr;   // RxGIFAnimator1
    QMovie *m_movie = nullptr;
    QElapsedTimer m_sinceFrame;
    QMargins m_frame; // the window manager's frame, as last seen
    bool m_cursorSet = false;
};
