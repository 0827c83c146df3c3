#pragma once

#include <QDialog>

class LxRtfPreview;
class PageThumbnails;
class PageView;
class QComboBox;
class QLabel;
class QSpinBox;
class QTextDocument;
class QToolButton;

// The print preview window ("PrintPreviewForm"): the recipe open in the editor as printed pages,
// the page setup, and printing all pages, the shown page or a range.
class PrintPreviewWindow : public QDialog
{
    Q_OBJECT
public:
    explicit PrintPreviewWindow(QWidget *parent = nullptr);
    ~PrintPreviewWindow() override;

    // Lays the given body (or the last one given) out into pages again.
    void RebuildPreview(const QTextDocument *source = nullptr);
    void LoadMarginSettings();
    void SaveMarginSettings();
    [[nodiscard]] QString settingsPath() const;

    [[nodiscard]] PageView *view() const { return m_view; }

    void btnPrintAlClick();
    void btnPrintPageClick();
    void dxButton1Click();
    void btnMarginsClick();
    void btnHeaderClick();
    void ComboBox2Change();
    void RxSpinEdit1Change();
    void LxPropertyComboBox1Change();
    void LxPropertyComboBox2Change();
    void LxPreview1PageChanged();
    void LxPreview1OrientationChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool event(QEvent *event) override;

private:
    void FormActivate();
    // Chooses the PDF file when the PDF target is the printer; false when the user cancelled.
    bool prepareJob();

    PageView *m_view;
    PageThumbnails *m_thumbnails;
    std::unique_ptr<LxRtfPreview> m_paginator;
    const QTextDocument *m_source = nullptr;
    QLabel *m_pageLabel;
    QComboBox *m_printers;
    QComboBox *m_papers;
    QComboBox *m_quality;
    QSpinBox *m_copies;
};
