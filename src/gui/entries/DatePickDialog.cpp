#include "gui/entries/DatePickDialog.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTextCharFormat>
#include <QVBoxLayout>

namespace vorkel::gui {

namespace {

constexpr const char* kInfo =
    "Choose your password expiry date from the calendar below.  Vorkel will remind you when your "
    "password is about to expire and prompt you to enter a new password.";

}  // namespace

DatePickDialog::DatePickDialog(const vorkel::LocalDateTime& today, QWidget* parent)
    : ToolDialog(parent), m_calendar(new QCalendarWidget) {
    setObjectName(QStringLiteral("TfmDatePick"));
    setWindowTitle(QStringLiteral("Date Picker"));

    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabExpiry"));
    auto* icon = new QLabel(page);
    icon->setObjectName(QStringLiteral("imgDate"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_FileDialogInfoView).pixmap(32, 32));
    auto* info = new QLabel(QString::fromUtf8(kInfo), page);
    info->setObjectName(QStringLiteral("lblInfo"));
    info->setTextFormat(Qt::PlainText);
    info->setWordWrap(true);

    // Today is the session clock's, not the system's, and the calendar marks it itself.
    const QDate day(today.year, today.month, today.day);
    m_calendar->setParent(page);
    m_calendar->setObjectName(QStringLiteral("MonthCalendar1"));
    m_calendar->setGridVisible(true);
    // Four-digit years only: the date orders read the year from fixed positions.
    m_calendar->setDateRange(QDate(1000, 1, 1), QDate(9999, 12, 31));
    m_calendar->setSelectedDate(day);
    QTextCharFormat mark = m_calendar->dateTextFormat(day);
    mark.setFontWeight(QFont::Bold);
    mark.setFontUnderline(true);
    mark.setForeground(QColor(200, 0, 0));
    m_calendar->setDateTextFormat(day, mark);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(info, 1);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addLayout(top);
    pageLayout->addWidget(m_calendar, 1);

    auto* tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("pgcDate"));
    tabs->addTab(page, QStringLiteral("Password Expiry Date"));

    QPushButton* ok = layOutTabs(tabs).ok;
    ok->setDefault(true);  // Enter means OK, never the first button on the page
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // Enter or a double click on a day picks it, as OK would.
    connect(m_calendar, &QCalendarWidget::activated, this, &QDialog::accept);
    setFixedSize(360, 360);
    m_calendar->setFocus();
}

vorkel::LocalDateTime DatePickDialog::pickedDate() const {
    const QDate day = m_calendar->selectedDate();
    return {day.year(), day.month(), day.day(), 0, 0, 0};
}

}  // namespace vorkel::gui
