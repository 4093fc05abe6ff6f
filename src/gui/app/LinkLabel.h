#pragma once

#include <QLabel>

/// A label drawn as a link (blue, bold, underlined, hand pointer) that reports a left click.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    /// A link label showing `text`, named `objectName`.
    LinkLabel(const QString& text, const QString& objectName, QWidget* parent = nullptr);

signals:
    /// The left mouse button was released over the label.
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
