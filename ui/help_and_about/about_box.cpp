#include "ui/help_and_about/about_box.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "ui/help_and_about/program_identity.h"

namespace waitline {

QMessageBox* MakeAboutBox(QWidget* parent)
{
    auto* box = new QMessageBox(parent);
    box->setObjectName(QStringLiteral("AboutBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setWindowTitle(QCoreApplication::translate("About", "About Waitline"));
    box->setIconPixmap(ProgramIcon().pixmap(64, 64));
    box->setTextFormat(Qt::PlainText);
    box->setText(ProgramNameAndVersion());
    box->setInformativeText(AboutParagraph() + QStringLiteral("\n\n") + LicenceLine());
    box->setStandardButtons(QMessageBox::Close);
    return box;
}

}  // namespace waitline
