#include "summary/SummaryChartView.h"

#include "received/ReceivedInvoices.h"
#include "widgets/MessageBoxPrompt.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCursor>
#include <QToolTip>
#include <QValueAxis>

using namespace Qt::StringLiterals;

namespace tavlix::summary {

namespace {

double lira(money::Kurus amount) {
    return static_cast<double>(amount) / 100.0;
}

// "Kas 26": three letters of the month and the year's last two digits keep twelve labels short.
QString shortTitle(const Month& m) {
    return received::turkishMonthName(m.month).left(3) + u' ' +
           QString::number(m.year % 100).rightJustified(2, u'0');
}

} // namespace

SummaryChartView::SummaryChartView(QWidget* parent)
    : QChartView(parent) {
    setObjectName(u"chartAylar"_s);
    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(220);
    setMouseTracking(true);
    chart()->setTitle(u"Son 12 ay (TL)"_s);
    chart()->legend()->setAlignment(Qt::AlignBottom);
}

void SummaryChartView::setFigures(const std::vector<MonthFigures>& figures) {
    m_figures = figures;
    QChart* c = chart();
    c->removeAllSeries();
    for (QAbstractAxis* axis : c->axes())
        c->removeAxis(axis);

    m_salesVat = new QBarSet(u"Satış KDV"_s);
    m_receivedTaxes = new QBarSet(u"Alış vergileri"_s);
    QStringList months;
    double top = 0;
    for (const MonthFigures& f : figures) {
        *m_salesVat << lira(f.salesVat);
        *m_receivedTaxes << lira(f.receivedTaxes);
        months << shortTitle(f.month);
        top = std::max({top, lira(f.salesVat), lira(f.receivedTaxes)});
    }
    auto* series = new QBarSeries;
    series->append(m_salesVat);
    series->append(m_receivedTaxes);
    c->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(months);
    auto* y = new QValueAxis;
    y->setRange(0, top > 0 ? top * 1.1 : 1);
    y->setLabelFormat(u"%.0f"_s);
    c->addAxis(x, Qt::AlignBottom);
    c->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    connect(series, &QBarSeries::hovered, this, [this](bool entered, int index, QBarSet*) {
        if (entered)
            showMonth(index);
        else
            QToolTip::hideText();
    });
}

void SummaryChartView::showMonth(int index) {
    if (index < 0 || index >= static_cast<int>(m_figures.size()))
        return;
    m_hoverText = figureText(m_figures[static_cast<size_t>(index)]);
    setToolTip(plainToolTip(m_hoverText));
    if (underMouse())
        QToolTip::showText(QCursor::pos(), plainToolTip(m_hoverText), this);
    emit hovered(m_hoverText);
}

} // namespace tavlix::summary
