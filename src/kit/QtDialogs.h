// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/IDialogs.h"

#include <memory>
#include <QMessageBox>

namespace tarvo {

// Message boxes titled "Tarvo" and the standard Qt pickers.
class CQtDialogs : public IDialogs {
public:
    explicit CQtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }

    void ShowMessage(const std::string& text, MessageIcon icon) override;
    bool AskYesNo(const std::string& text, MessageIcon icon) override;
    std::string BrowseForFolder(const std::string& title) override;
    std::string OpenFileDialog(const std::string& title,
                               const std::vector<FileFilter>& filters) override;
    std::string SaveFileDialog(const std::string& title, const std::vector<FileFilter>& filters,
                               const std::string& initialName) override;
    int LastSaveFilter() const override { return m_lastSaveFilter; }
    std::optional<RgbColor> ChooseColor(const RgbColor& initial) override;
    std::optional<int> ChooseItem(const std::string& title, const std::string& label,
                                  const std::vector<std::string>& choices, int initial) override;
    bool Unattended() const override { return m_unattended; }
    // From now on messages go to the error stream and nothing waits for a user.
    void SetUnattended() { m_unattended = true; }

    // A text of more lines than this shows its list in a scrolling field.
    static constexpr int kLongMessageLines = 20;
    // The box a message is shown in, not yet shown.
    static std::unique_ptr<QMessageBox> BuildMessage(const std::string& text, MessageIcon icon,
                                                     QMessageBox::StandardButtons buttons,
                                                     QWidget* owner);

private:
    QWidget* Owner() const;

    QWidget* m_parent;
    bool m_unattended = false;
    int m_lastSaveFilter = -1;
};

} // namespace tarvo
