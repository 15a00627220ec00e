// A one-line caption for a path: a text too long for the width is elided in the middle (the
// start and the last folder stay readable), and the whole text shows as its tooltip.
#pragma once

#include <QLabel>

namespace tavlix {

class PathCaptionView : public QLabel {
    Q_OBJECT
public:
    explicit PathCaptionView(QWidget* parent = nullptr);

    // The text as drawn in the present width.
    QString shownText() const;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tavlix
