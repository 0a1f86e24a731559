// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit/ModalGate.h"

#include <QApplication>

namespace tarvo {

namespace {

constexpr int kCheckMs = 100;

bool ModalOpen() {
    return QApplication::activeModalWidget() != nullptr;
}

} // namespace

CModalGate::CModalGate(QObject* parent) : QObject(parent) {
    m_check.setInterval(kCheckMs);
    connect(&m_check, &QTimer::timeout, this, &CModalGate::RunWaiting);
}

void CModalGate::Run(std::function<void()> request) {
    if (m_waiting.empty() && !ModalOpen()) {
        request();
        return;
    }
    m_waiting.push_back(std::move(request));
    m_check.start();
}

void CModalGate::RunWaiting() {
    while (!m_waiting.empty() && !ModalOpen()) {
        const std::function<void()> request = std::move(m_waiting.front());
        m_waiting.pop_front();
        request();
    }
    if (m_waiting.empty()) m_check.stop();
}

} // namespace tarvo
