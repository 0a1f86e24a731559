#include "PlayerApp.h"

#include "PlayerDlg.h"
#include "ProgramFolder.h"
#include "QtDialogs.h"

#include <QApplication>
#include <QFont>
#include <QStandardPaths>

namespace tarvo {

int CPlayerApp::Run(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tarvo");
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);

    const std::string folder = FindProgramFolder(
        QApplication::applicationDirPath().toStdString(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());
    CQtDialogs dialogs;
    CPlayerDlg window(folder, dialogs);
    dialogs.SetParent(&window);
    window.StartUp();
    window.exec();
    return 0;
}

} // namespace tarvo
