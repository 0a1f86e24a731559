// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DlgAbout.h"

#include "kit/DialogLayout.h"

#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tarvo {

CDlgAbout::CDlgAbout(const std::string& coreVersion, QWidget* parent) : QDialog(parent) {
    const auto controls = CDialogLayout::Build(this, u"125.layout"_s);
    auto* text = Control<QLabel>(controls, kText);
    auto* ok = Control<QPushButton>(controls, kOk);
    text->setText(QString::fromStdString(AboutText(coreVersion)));
    GrowToFit(text, ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

// A long core version wraps onto more lines than the layout has room for:
// the box grows downwards so its last line still shows, and keeps its
// layout's size whenever the text fits.
void CDlgAbout::GrowToFit(QLabel* text, QWidget* below) {
    const int extra = text->heightForWidth(text->width()) - text->height();
    if (extra <= 0) return;
    text->resize(text->width(), text->height() + extra);
    below->move(below->x(), below->y() + extra);
    setFixedSize(width(), height() + extra);
}

std::string CDlgAbout::AboutText(const std::string& coreVersion) {
    // Appended piece by piece: GCC 12 warns falsely about a chain of + here.
    std::string text = "Tarvo Player v";
    text += kPlayerVersion;
    text += "\nLinked with Sound Core v";
    text += coreVersion;
    text += "\n\n"
            "Sound core by the Tarvo developers, on Game_Music_Emu\n"
            "Player window by the Tarvo developers, on Qt\n"
            "\n"
            "See Tarvo.txt for more information.";
    return text;
}

} // namespace tarvo
