#include "pickers/ui/emoticonpicker.h"

#include "shell/windowdesign.h"

EmoticonPicker::EmoticonPicker(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "frmEmoticons", tr("Emotional Icons"), QSize(427, 312), Frame::Borderless);
}
