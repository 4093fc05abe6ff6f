#pragma once

#include <QObject>

namespace vorkel::gui {

/// Shows or hides the controls' hints for the whole application: while closed, every tooltip
/// request is swallowed before it reaches its widget.
class ToolTipGate : public QObject {
    Q_OBJECT
public:
    /// Watches the application (when there is one); hints are shown until told otherwise.
    explicit ToolTipGate(QObject* parent = nullptr);
    ~ToolTipGate() override;
    ToolTipGate(const ToolTipGate&) = delete;
    ToolTipGate& operator=(const ToolTipGate&) = delete;

    /// Lets hints show (true) or swallows them (false); hiding also takes down a hint on show.
    void setShown(bool shown);
    /// True while hints show.
    bool shown() const { return m_shown; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_shown = true;
};

}  // namespace vorkel::gui
