#pragma once

#include <QProxyStyle>

namespace vorkel::gui {

/// The application style with masked fields drawn as "*", one per character.
class MaskStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

}  // namespace vorkel::gui
