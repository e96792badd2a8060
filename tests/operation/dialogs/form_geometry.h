#pragma once
// What a form shows of its controls: none covers another, none reaches past its parent's edge.
#include <QFontMetrics>
#include <QLabel>
#include <QWidget>
#include <initializer_list>
#include <string>
#include <vector>

// Each visible control on one of the parents (the form itself and its group boxes) that overlaps a
// sibling or leaves its parent, one line each; empty when the form is sound.
inline std::string coveredControls(const QWidget* form, std::initializer_list<const QWidget*> parents) {
    std::string out;
    auto name = [](const QWidget* w) { return w->objectName().toStdString(); };
    auto rectText = [](const QRect& r) {
        return "(" + std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
               std::to_string(r.height()) + ")";
    };
    for (const QWidget* parent : parents) {
        std::vector<const QWidget*> shown;
        for (const QObject* o : parent->children()) {
            const auto* w = qobject_cast<const QWidget*>(o);
            if (w && !w->isWindow() && w->isVisibleTo(form)) shown.push_back(w);
        }
        for (size_t i = 0; i < shown.size(); ++i) {
            const QRect a = shown[i]->geometry();
            if (!parent->rect().contains(a))
                out += name(shown[i]) + rectText(a) + " leaves " + name(parent) + rectText(parent->rect()) + "\n";
            for (size_t j = i + 1; j < shown.size(); ++j)
                if (a.intersects(shown[j]->geometry()))
                    out += name(shown[i]) + rectText(a) + " overlaps " + name(shown[j]) + rectText(shown[j]->geometry()) + "\n";
        }
    }
    return out;
}

// The label's text fits it whole: on one line, or on the lines it wraps to.
inline bool labelTextFits(const QLabel* label) {
    const int flags = static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    const QRect needed = QFontMetrics(label->font()).boundingRect(QRect(0, 0, label->width(), 10000), flags, label->text());
    return needed.width() <= label->width() && needed.height() <= label->height();
}
