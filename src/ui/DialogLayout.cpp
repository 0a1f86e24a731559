// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DialogLayout.h"

#include "resources/ResourceText.h"
#include "ui/IconLibrary.h"

#include <cmath>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QTreeWidget>

namespace tarvo {

namespace {

constexpr int kPictureSize = 60;

QWidget* MakeControl(const QString& kind, const QString& text, const QString& style,
                     QWidget* parent) {
    if (kind == "group") return new QGroupBox(text, parent);
    if (kind == "label" || kind == "static") {
        auto* label = new QLabel(text, parent);
        label->setWordWrap(style.contains("wrap"));
        label->setAlignment((style.contains("center") ? Qt::AlignHCenter : Qt::AlignLeft) |
                            (style.contains("wrap") ? Qt::AlignTop : Qt::AlignVCenter));
        return label;
    }
    if (kind == "edit") {
        auto* edit = new QLineEdit(text, parent);
        edit->setReadOnly(style.contains("readonly"));
        // A field that only shows is no stop for the keyboard; a click still
        // focuses it, to copy its text.
        if (edit->isReadOnly()) edit->setFocusPolicy(Qt::ClickFocus);
        if (style.contains("center")) edit->setAlignment(Qt::AlignCenter);
        return edit;
    }
    if (kind == "button" || kind == "iconbutton") {
        auto* button = new QPushButton(kind == "button" ? text : QString(), parent);
        button->setToolTip(kind == "iconbutton" ? text : QString());
        button->setAccessibleName(text);
        button->setAutoDefault(false);
        button->setDefault(style.contains("default"));
        return button;
    }
    if (kind == "picture") {
        // An icon picture takes its own size, whatever the table's box.
        auto* picture = new QLabel(parent);
        picture->setPixmap(CIconLibrary::Pixmap(text, kPictureSize));
        return picture;
    }
    if (kind == "check") return new QCheckBox(text, parent);
    if (kind == "progress") {
        auto* bar = new QProgressBar(parent);
        bar->setTextVisible(false);
        return bar;
    }
    if (kind == "combo") return new QComboBox(parent);
    if (kind == "slider") return new QSlider(Qt::Horizontal, parent);
    if (kind == "listbox") {
        auto* list = new QListWidget(parent);
        list->setSortingEnabled(true);
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        return list;
    }
    if (kind == "table") {
        auto* table = new QTableView(parent);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setSelectionMode(QAbstractItemView::SingleSelection);
        table->verticalHeader()->setVisible(false);
        table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        table->horizontalHeader()->setSectionsClickable(false);
        table->setShowGrid(false);
        table->setWordWrap(false);
        return table;
    }
    if (kind == "list") {
        auto* list = new QTreeWidget(parent);
        list->setRootIsDecorated(false);
        list->setUniformRowHeights(true);
        list->setAllColumnsShowFocus(true);
        list->header()->setVisible(!style.contains("noheader"));
        return list;
    }
    return new QWidget(parent);
}

} // namespace

QRect CDialogLayout::ToPixels(const QFont& font, int x, int y, int w, int h) {
    const QFontMetrics metrics(font);
    const int averageWidth =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const double baseX = (averageWidth / 26 + 1) / 2;
    const double baseY = metrics.height();
    auto px = [](double units, double base, int divisor) {
        return static_cast<int>(std::lround(units * base / divisor));
    };
    return QRect(px(x, baseX, 4), px(y, baseY, 8), px(w, baseX, 4), px(h, baseY, 8));
}

QHash<int, QWidget*> CDialogLayout::Build(QWidget* dialog, const QString& resourceName,
                                          int topOffset) {
    QFont font = dialog->font();
    font.setPointSize(8);
    dialog->setFont(font);
    QHash<int, QWidget*> controls;
    for (const QString& line : ResourceLines(":/layouts/" + resourceName)) {
        QStringList f = line.split('|');
        for (QString& field : f)
            field = field.trimmed();
        if (f[0] == "dialog" && f.size() >= 4) {
            dialog->setWindowTitle(f[1]);
            const QRect size = ToPixels(font, 0, 0, f[2].toInt(), f[3].toInt());
            dialog->setFixedSize(size.width(), size.height() + topOffset);
            continue;
        }
        if (f.size() < 7) continue;
        while (f.size() < 8)
            f << QString();
        QWidget* control = MakeControl(f[1], f[2], f[7], dialog);
        QRect place = ToPixels(font, f[3].toInt(), f[4].toInt(), f[5].toInt(), f[6].toInt())
                          .translated(0, topOffset);
        // A drop-down list's height in the table is that of its open list; the
        // closed box is one line high.
        if (f[1] == "combo") place.setHeight(control->sizeHint().height());
        if (f[1] == "picture") place.setSize(QSize(kPictureSize, kPictureSize));
        control->setGeometry(place);
        if (f[7].contains("hidden")) control->hide();
        if (f[0] != "-") {
            control->setObjectName(f[0]);
            controls.insert(f[0].toInt(), control);
        }
    }
    // Group boxes sit behind the controls they frame.
    for (QGroupBox* group : dialog->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly))
        group->lower();
    return controls;
}

} // namespace tarvo
