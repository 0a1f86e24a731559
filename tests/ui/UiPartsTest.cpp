// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DlgClipRange.h"
#include "kit/DialogLayout.h"
#include "kit/IconSequences.h"
#include "kit/MenuBuilder.h"
#include "kit/ModalGate.h"
#include "kit/QtDialogs.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

using namespace tarvo;
using namespace Qt::StringLiterals;

TEST(IconSequences, FramesAndWhatFollowsThem) {
    CIconSequences icons;
    EXPECT_EQ(icons.Advance(), 124); // Idle at start: asleep
    EXPECT_EQ(icons.Advance(), 124);
    icons.Select(1);
    std::vector<int> shown;
    for (int i = 0; i < 11; ++i)
        shown.push_back(icons.Advance());
    EXPECT_EQ(shown, (std::vector<int>{117, 118, 119, 120, 121, 122, 114, 113, 115, 113, 114}));
    icons.Select(4);
    EXPECT_EQ(icons.Advance(), 157);
    EXPECT_EQ(icons.Advance(), 159);
    EXPECT_EQ(icons.Advance(), 157);
    icons.Select(7); // ignored
    EXPECT_EQ(icons.Advance(), 159);
}

// A mistyped kind or a line cut short would give a control of no kind or
// none at all: every shipped table is checked, and the checks catch both.
TEST(ResourceTables, EveryLayoutAndMenuIsWellFormed) {
    for (const QString& name : QDir(QStringLiteral(":/layouts")).entryList())
        EXPECT_TRUE(CDialogLayout::Problems(CDialogLayout::Lines(name)).isEmpty())
            << name.toStdString();
    for (const QString& name : QDir(QStringLiteral(":/menus")).entryList())
        EXPECT_TRUE(CMenuBuilder::Problems(CMenuBuilder::Lines(name)).isEmpty())
            << name.toStdString();
    EXPECT_EQ(CDialogLayout::Problems({"dialog | Broken | 100 | 50",
                                       "1 | buton | OK | 1 | 2 | 3 | 4", "2 | button | OK | 1 | 2",
                                       "x | edit | | 1 | 2 | 3 | 4", "3 | edit | | 1 | two | 3 | 4",
                                       "4 | list | | 1 | 2 | 3 | 4 | grow=0,0,1",
                                       "5 | list | | 1 | 2 | 3 | 4 | grow=0,0,2,1",
                                       "6 | list | | 1 | 2 | 3 | 4 | noheader grow=0,0,0.5,1"})
                  .size(),
              6);
    EXPECT_EQ(
        CMenuBuilder::Problems({"popup &File", "item 5 Open", "item Open", "itme 6 Save", "-"})
            .size(),
        2);
}

TEST(DlgClipRange, EnterWalksFromFirstToLastToOk) {
    test::ScriptedDialogs dialogs;
    CDlgClipRange dialog(dialogs);
    dialog.Range = {0, 512};
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    dialog.ShowRange();
    auto* first = dialog.findChild<QLineEdit*>(CDialogLayout::ObjectName(CDlgClipRange::kFirst));
    auto* last = dialog.findChild<QLineEdit*>(CDialogLayout::ObjectName(CDlgClipRange::kLast));
    auto* ok = dialog.findChild<QPushButton*>(CDialogLayout::ObjectName(CDlgClipRange::kOk));
    first->setFocus();
    first->setText("10");
    dialog.accept(); // Enter in the first field
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Range.firstClip, 10);
    last->setFocus();
    last->setText("5");
    dialog.accept(); // Enter in the second field
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Range.firstClip, 5);
    EXPECT_EQ(dialog.Range.lastClip, 5);
    EXPECT_EQ(first->text(), "5");
    ok->setFocus();
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(QtDialogs, AMessageBeforeTheWindowIsShownStandsInTheMiddleOfTheScreen) {
    QWidget notYetShown;
    CQtDialogs dialogs(&notYetShown);
    QPoint boxCentre;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        boxCentre = box->geometry().center();
        box->close();
    });
    dialogs.ShowMessage("Starting", MessageIcon::Information);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((boxCentre - screen.center()).manhattanLength(), 4);
}

// Texts from outside are never markup, and a list of 20,000 refused files
// fits the screen, with its OK button, in a scrolling field.
TEST(QtDialogs, MessagesArePlainTextAndALongListScrollsWithinTheScreen) {
    auto shortBox = CQtDialogs::BuildMessage("<b>x.vgm</b>: damaged", MessageIcon::Warning,
                                             QMessageBox::Ok, nullptr);
    EXPECT_EQ(shortBox->textFormat(), Qt::PlainText);
    EXPECT_EQ(shortBox->findChild<QPlainTextEdit*>(), nullptr);

    std::string text = "Tarvo cannot play these 20000 files:\n";
    for (int i = 0; i < 20000; ++i)
        text += "\n/music/file" + std::to_string(i) + ".vgm: nothing playable";
    auto box = CQtDialogs::BuildMessage(text, MessageIcon::Warning, QMessageBox::Ok, nullptr);
    EXPECT_EQ(box->text(), u"Tarvo cannot play these 20000 files:"_s);
    auto* list = box->findChild<QPlainTextEdit*>();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->document()->blockCount(), 20000);
    box->show();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(box->frameGeometry().height(), screen.height());
    auto* ok = box->button(QMessageBox::Ok);
    EXPECT_TRUE(ok->isVisible());
    EXPECT_GT(ok->mapTo(box.get(), QPoint(0, 0)).y(), list->mapTo(box.get(), QPoint(0, 0)).y());
}

// What the session bus asks waits while a modal window is open, then runs in
// the order it came.
TEST(ModalGate, RequestsWaitForTheModalWindowToClose) {
    QWidget owner;
    CModalGate gate(&owner);
    std::vector<int> ran;
    gate.Run([&] { ran.push_back(1); });
    EXPECT_EQ(ran, std::vector<int>{1});
    QDialog box;
    box.setModal(true);
    box.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &box);
    gate.Run([&] { ran.push_back(2); });
    gate.Run([&] { ran.push_back(3); });
    gate.RunWaiting();
    EXPECT_EQ(gate.Waiting(), 2);
    box.close();
    gate.RunWaiting();
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(gate.Waiting(), 0);
}
