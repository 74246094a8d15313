#pragma once

#include <QFont>
#include <QLabel>
#include <string>

// A static text that reads as a web link: blue, underlined, in its own font whatever font the
// label was given; the hand cursor over it; a left click opens the url with the desktop.
class CHyperlink : public QLabel {
    Q_OBJECT

public:
    explicit CHyperlink(QWidget* parent = nullptr);

    // Called when the dialog binds the control: the hand cursor, unless one is set already.
    void PreSubclassWindow();

    // The room the text takes in the link font.
    QSize sizeHint() const override;

    const QFont& LinkFont() const { return linkFont; }
    const std::string& Url() const { return url; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void OnPaint();
    void OnLButtonUp(const QMouseEvent& event);

    QFont linkFont;
    std::string url;
};
