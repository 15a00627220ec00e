// The main window's buttons carry their state in their colour: light green editing, light cyan
// "Excel Kaydet", light red "Excel SiL", light yellow "e-Mail Gönder", white when disabled.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace tavlix::colours {

inline const QColor kLightGreen(192, 255, 192);
inline const QColor kLightCyan(192, 255, 255);
inline const QColor kLightRed(255, 192, 192);
inline const QColor kLightYellow(255, 255, 192);
inline const QColor kWhite(255, 255, 255);

inline void setBackColour(QWidget* w, const QColor& colour) {
    w->setStyleSheet(QStringLiteral("background-color: %1;").arg(colour.name()));
}

} // namespace tavlix::colours
