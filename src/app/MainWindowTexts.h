// Texts the main window shows in its boxes when nothing is chosen, shared by its layout and its
// handlers (MainWindow.cpp, MainWindowLayout.cpp).
#pragma once

#include <QComboBox>
#include <QString>

namespace tavlix::mainwindow {

inline const QString kNoType = QStringLiteral("Fatura Türü Seçin");
inline const QString kNoCompany = QStringLiteral("Firmalarım");
inline const QString kTurkishLira = QStringLiteral("Türk Lirası");

// Shows `text` in a pick box without choosing an item of its list.
inline void setBoxText(QComboBox* box, const QString& text) {
    box->setCurrentIndex(-1);
    box->setEditText(text);
}

} // namespace tavlix::mainwindow
