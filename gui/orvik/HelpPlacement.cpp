#include "gui/orvik/HelpPlacement.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QWidget>
#include <algorithm>

namespace orvik {

namespace {

// A frame rectangle turned into the client rectangle of `widget`'s decoration.
QRect clientOf(const QRect& frame, const QWidget* widget) {
    const int border = widget->geometry().left() - widget->frameGeometry().left();
    const int title = widget->geometry().top() - widget->frameGeometry().top();
    QRect client(frame);
    client.setLeft(frame.left() + border);
    client.setRight(frame.right() - border);
    client.setBottom(frame.bottom() - border);
    client.setTop(frame.top() + title);
    return client;
}

}  // namespace

QRect placementBeside(QWidget* window, QWidget* parent) {
    if (parent == nullptr) {
        return QRect();
    }
    QRect parentFrame = parent->frameGeometry();
    QRect r;
    r.setLeft(parentFrame.right());
    r.setTop(parentFrame.top());
    r.setBottom(parentFrame.bottom());
    r.setWidth(std::min(window->frameGeometry().width(), parentFrame.width()));
    if (r.top() < 0) {
        r.setTop(0);
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenRight = screen != nullptr ? screen->geometry().right() : r.right();
    if (r.right() > screenRight) {
        if (parentFrame.right() > screenRight) {
            const int over = parentFrame.right() - screenRight;
            parentFrame.translate(-over, 0);
            r.translate(-over, 0);
        }
        const int room = screenRight - r.left() + 1;
        const int shift = room > 0 ? r.width() - room : r.width();
        parentFrame.translate(-shift, 0);
        r.translate(-shift, 0);
        if (parentFrame.left() < 0) {
            parentFrame.setLeft(0);
        }
        const QRect parentClient = clientOf(parentFrame, parent);
        if (parent->isMaximized()) {
            parent->showNormal();
        }
        parent->setGeometry(parentClient);
    }
    return clientOf(r, window);
}

}  // namespace orvik
