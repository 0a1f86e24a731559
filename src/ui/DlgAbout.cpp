#include "DlgAbout.h"

#include "DialogLayout.h"

#include <QLabel>
#include <QPushButton>

namespace tarvo {

CDlgAbout::CDlgAbout(const std::string& coreVersion, QWidget* parent) : QDialog(parent) {
    const auto controls = CDialogLayout::Build(this, "125.layout");
    Control<QLabel>(controls, 1053)->setText(QString::fromStdString(AboutText(coreVersion)));
    connect(Control<QPushButton>(controls, 1), &QPushButton::clicked, this, &QDialog::accept);
}

std::string CDlgAbout::AboutText(const std::string& coreVersion) {
    return std::string("Tarvo Player v") + kPlayerVersion + "\nLinked with Sound Core v" +
           coreVersion + "\n\n" +
           "Sound core by the Tarvo developers, on Game_Music_Emu\n"
           "Player window by the Tarvo developers, on Qt\n"
           "\n"
           "See Tarvo.txt for more information.";
}

} // namespace tarvo
