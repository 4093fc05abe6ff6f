#pragma once

#include <QLabel>

namespace vorkel::gui {

/// A label drawn as a link (blue, underlined, hand pointer) that reports a left click.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    enum class Weight { Bold, Normal };
    /// A link label showing `text` as plain text, named `objectName`.
    LinkLabel(const QString& text, const QString& objectName, QWidget* parent = nullptr,
              Weight weight = Weight::Bold);

signals:
    /// The left mouse button was released over the label.
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace vorkel::gui
