#include "report/PageLayoutQt.h"

#include "report/PageSetup.h"

#include <QPageSize>
#include <QSizeF>

namespace vm::report {

QPageLayout toQPageLayout(const PageSetup& s) {
    QPageSize size;
    switch (s.paper) {
    case PageSetup::Paper::Letter:
        size = QPageSize(QPageSize::Letter);
        break;
    case PageSetup::Paper::Legal:
        size = QPageSize(QPageSize::Legal);
        break;
    case PageSetup::Paper::A4:
        size = QPageSize(QPageSize::A4);
        break;
    case PageSetup::Paper::Custom:
        size = QPageSize(QSizeF(s.customWidth, s.customHeight), QPageSize::Point, QStringLiteral("Custom"),
                         QPageSize::ExactMatch);
        break;
    }
    auto orientation =
        s.orientation == PageSetup::Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    return QPageLayout(size, orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

} // namespace vm::report
