#include "ui/help_and_about/about_box.h"

#include <QMessageBox>

#include "control/window_actions.h"
#include "ui/common/text.h"
#include "ui/help_and_about/program_identity.h"

namespace waitline {

QMessageBox* MakeAboutBox(QWidget* parent)
{
    auto* box = new QMessageBox(parent);
    box->setObjectName(QStringLiteral("AboutBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    // The box is titled as the menu entry that opens it.
    box->setWindowTitle(Translated("Actions", Action(ActionId::About).text));
    box->setIconPixmap(ProgramIcon().pixmap(64, 64));
    box->setTextFormat(Qt::PlainText);
    box->setText(ProgramNameAndVersion());
    box->setInformativeText(AboutParagraph() + QStringLiteral("\n\n") + LicenceLine());
    box->setStandardButtons(QMessageBox::Close);
    return box;
}

}  // namespace waitline
