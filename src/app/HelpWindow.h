// "Tavlix - Yardım": the steps of composing and uploading an invoice, in a few lines.
#pragma once

#include <QWidget>

namespace tavlix {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
};

} // namespace tavlix
