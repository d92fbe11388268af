// A one-line label that shows as much of its text as fits, with "…" for the rest, and the whole
// text as its tooltip while it does not fit. It takes the room its layout gives it.
#pragma once

#include <QLabel>

namespace nivu {

class ElidedLabel final : public QLabel {
public:
    explicit ElidedLabel(QString text, QWidget* parent = nullptr);

    const QString& fullText() const { return full_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void elide();

    QString full_;
};

} // namespace nivu
