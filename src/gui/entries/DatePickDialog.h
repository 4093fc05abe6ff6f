#pragma once

#include "core/entries/Clock.h"
#include "gui/tools/ToolDialog.h"

class QCalendarWidget;

namespace vorkel::gui {

/// The date picker TfmDatePick: a month calendar that opens on today and marks it.
class DatePickDialog : public ToolDialog {
    Q_OBJECT
public:
    /// The picker opening on `today` (the session clock's date), which it marks.
    DatePickDialog(const vorkel::LocalDateTime& today, QWidget* parent);

    /// The calendar's date (always a real date), midnight.
    vorkel::LocalDateTime pickedDate() const;

private:
    QCalendarWidget* m_calendar;
};

}  // namespace vorkel::gui
