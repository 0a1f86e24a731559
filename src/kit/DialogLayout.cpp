// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit/DialogLayout.h"

#include "kit/IconLibrary.h"
#include "resources/ResourceText.h"

#include <cmath>
#include <optional>
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

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

constexpr int kPictureSize = 60;

const QStringList kKinds = {u"group"_s,      u"label"_s,   u"static"_s, u"edit"_s,     u"button"_s,
                            u"iconbutton"_s, u"picture"_s, u"check"_s,  u"progress"_s, u"combo"_s,
                            u"slider"_s,     u"listbox"_s, u"table"_s,  u"list"_s,     u"frame"_s};

QStringList Fields(const QString& line) {
    QStringList fields = line.split(u'|');
    for (QString& field : fields)
        field = field.trimmed();
    return fields;
}

bool IsNumber(const QString& text) {
    bool number = false;
    text.toInt(&number);
    return number;
}

// How far each edge of a control follows a window grown beyond its table's
// size: "grow=L,T,R,B", each the part (0 to 1) of the growth in width (L, R)
// or height (T, B) by which that edge moves. Empty when the style has none.
std::optional<QRectF> GrowthOf(const QString& style) {
    for (const QString& word : style.split(u' ', Qt::SkipEmptyParts)) {
        if (!word.startsWith(u"grow="_s)) continue;
        const QStringList parts = word.mid(5).split(u',');
        double edges[4] = {};
        bool valid = parts.size() == 4;
        for (int i = 0; valid && i < 4; ++i) {
            edges[i] = parts[i].toDouble(&valid);
            valid = valid && edges[i] >= 0 && edges[i] <= 1;
        }
        if (!valid) return QRectF(-1, -1, -1, -1);
        return QRectF(QPointF(edges[0], edges[1]), QPointF(edges[2], edges[3]));
    }
    return std::nullopt;
}

// What is wrong with one line of a layout table, or nothing.
QString LineProblem(const QStringList& f) {
    if (f[0] == u"dialog"_s)
        return f.size() >= 4 && IsNumber(f[2]) && IsNumber(f[3])
                   ? QString()
                   : u"a dialog line needs a title, a width and a height"_s;
    if (f.size() < 7) return u"a control line needs id, kind, text, x, y, w and h"_s;
    if (f[0] != u"-"_s && !IsNumber(f[0])) return u"the id is no number"_s;
    if (!kKinds.contains(f[1])) return u"no control is of the kind "_s + f[1];
    for (int i = 3; i < 7; ++i)
        if (!IsNumber(f[i])) return u"a position or size is no number"_s;
    if (f.size() > 7 && GrowthOf(f[7]) == QRectF(-1, -1, -1, -1))
        return u"grow= needs four parts from 0 to 1"_s;
    return {};
}

const char* const kBaseProperty = "tarvoLayoutPlace";
const char* const kGrowthProperty = "tarvoLayoutGrowth";

QWidget* MakeControl(const QString& kind, const QString& text, const QString& style,
                     QWidget* parent) {
    if (kind == u"group"_s) return new QGroupBox(text, parent);
    if (kind == u"label"_s || kind == u"static"_s) {
        auto* label = new QLabel(text, parent);
        label->setWordWrap(style.contains(u"wrap"_s));
        label->setAlignment((style.contains(u"center"_s) ? Qt::AlignHCenter : Qt::AlignLeft) |
                            (style.contains(u"wrap"_s) ? Qt::AlignTop : Qt::AlignVCenter));
        return label;
    }
    if (kind == u"edit"_s) {
        auto* edit = new QLineEdit(text, parent);
        edit->setReadOnly(style.contains(u"readonly"_s));
        // A field that only shows is no stop for the keyboard; a click still
        // focuses it, to copy its text.
        if (edit->isReadOnly()) edit->setFocusPolicy(Qt::ClickFocus);
        if (style.contains(u"center"_s)) edit->setAlignment(Qt::AlignCenter);
        return edit;
    }
    if (kind == u"button"_s || kind == u"iconbutton"_s) {
        auto* button = new QPushButton(kind == u"button"_s ? text : QString(), parent);
        button->setToolTip(kind == u"iconbutton"_s ? text : QString());
        button->setAccessibleName(text);
        button->setAutoDefault(false);
        button->setDefault(style.contains(u"default"_s));
        return button;
    }
    if (kind == u"picture"_s) {
        // An icon picture takes its own size, whatever the table's box.
        auto* picture = new QLabel(parent);
        picture->setPixmap(CIconLibrary::Pixmap(text, kPictureSize));
        return picture;
    }
    if (kind == u"check"_s) return new QCheckBox(text, parent);
    if (kind == u"progress"_s) {
        auto* bar = new QProgressBar(parent);
        bar->setTextVisible(false);
        return bar;
    }
    if (kind == u"combo"_s) return new QComboBox(parent);
    if (kind == u"slider"_s) return new QSlider(Qt::Horizontal, parent);
    if (kind == u"listbox"_s) {
        auto* list = new QListWidget(parent);
        list->setSortingEnabled(true);
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        return list;
    }
    if (kind == u"table"_s) {
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
    if (kind == u"list"_s) {
        auto* list = new QTreeWidget(parent);
        list->setRootIsDecorated(false);
        list->setUniformRowHeights(true);
        list->setAllColumnsShowFocus(true);
        list->header()->setVisible(!style.contains(u"noheader"_s));
        return list;
    }
    return new QWidget(parent); // "frame": an area a dialog paints itself
}

} // namespace

QRect CDialogLayout::ToPixels(const QFont& font, int x, int y, int w, int h) {
    const QFontMetrics metrics(font);
    const int averageWidth =
        metrics.horizontalAdvance(u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"_s);
    const double baseX = (averageWidth / 26 + 1) / 2;
    const double baseY = metrics.height();
    auto px = [](double units, double base, int divisor) {
        return static_cast<int>(std::lround(units * base / divisor));
    };
    return QRect(px(x, baseX, 4), px(y, baseY, 8), px(w, baseX, 4), px(h, baseY, 8));
}

QStringList CDialogLayout::Problems(const QStringList& lines) {
    QStringList problems;
    for (const QString& line : lines)
        if (const QString problem = LineProblem(Fields(line)); !problem.isEmpty())
            problems << problem + u": "_s + line;
    return problems;
}

QStringList CDialogLayout::Lines(const QString& resourceName) {
    return ResourceLines(u":/layouts/"_s + resourceName);
}

// A table is checked by the tests; a line that is wrong anyway is left out
// with a warning rather than made into a control of no kind.
QHash<int, QWidget*> CDialogLayout::Build(QWidget* dialog, const QString& resourceName,
                                          int topOffset) {
    QFont font = dialog->font();
    font.setPointSize(8);
    dialog->setFont(font);
    QHash<int, QWidget*> controls;
    for (const QString& line : Lines(resourceName)) {
        QStringList f = Fields(line);
        if (const QString problem = LineProblem(f); !problem.isEmpty()) {
            qWarning("%s: %s: %s", qPrintable(resourceName), qPrintable(problem), qPrintable(line));
            continue;
        }
        if (f[0] == u"dialog"_s) {
            dialog->setWindowTitle(f[1]);
            const QRect size = ToPixels(font, 0, 0, f[2].toInt(), f[3].toInt());
            dialog->setFixedSize(size.width(), size.height() + topOffset);
            continue;
        }
        while (f.size() < 8)
            f << QString();
        QWidget* control = MakeControl(f[1], f[2], f[7], dialog);
        QRect place = ToPixels(font, f[3].toInt(), f[4].toInt(), f[5].toInt(), f[6].toInt())
                          .translated(0, topOffset);
        // A drop-down list's height in the table is that of its open list; the
        // closed box is one line high.
        if (f[1] == u"combo"_s) place.setHeight(control->sizeHint().height());
        if (f[1] == u"picture"_s) place.setSize(QSize(kPictureSize, kPictureSize));
        control->setGeometry(place);
        if (const auto growth = GrowthOf(f[7])) {
            control->setProperty(kBaseProperty, place);
            control->setProperty(kGrowthProperty, *growth);
        }
        if (f[7].contains(u"hidden"_s)) control->hide();
        if (f[0] != u"-"_s) {
            control->setObjectName(f[0]);
            controls.insert(f[0].toInt(), control);
        }
    }
    // Group boxes sit behind the controls they frame.
    for (QGroupBox* group : dialog->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly))
        group->lower();
    return controls;
}

void CDialogLayout::Stretch(QWidget* dialog, QSize grownBy) {
    for (QWidget* control : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QVariant growth = control->property(kGrowthProperty);
        if (!growth.isValid()) continue;
        const QRectF edges = growth.toRectF();
        const QRect place = control->property(kBaseProperty).toRect();
        auto moved = [](int edge, double part, int by) {
            return edge + static_cast<int>(std::lround(part * by));
        };
        control->setGeometry(
            QRect(QPoint(moved(place.left(), edges.left(), grownBy.width()),
                         moved(place.top(), edges.top(), grownBy.height())),
                  QPoint(moved(place.right(), edges.right(), grownBy.width()),
                         moved(place.bottom(), edges.bottom(), grownBy.height()))));
    }
}

} // namespace tarvo
