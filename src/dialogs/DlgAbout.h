// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QLabel>
#include <string>

namespace tarvo {

// "About Tarvo": the player's and the sound core's versions and the credits.
class CDlgAbout : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kPlayerVersion = "1.2.1";
    // The controls, by their numbers in the dialog's layout table.
    enum ControlId { kOk = 1, kText = 1053, kPicture = 1054 };

    CDlgAbout(const std::string& coreVersion, QWidget* parent = nullptr);

    // The whole text of the box, for a core version exactly as the core gives it.
    static std::string AboutText(const std::string& coreVersion);

private:
    void GrowToFit(QLabel* text, QWidget* below);
};

} // namespace tarvo
