#include "pickers/ui/charactermap.h"

#include "shell/windowdesign.h"

CharacterMap::CharacterMap(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "DLLForm", tr("Character Map"), QSize(718, 538), Frame::Borderless);
}
