#include "platform/cw_window_post.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>

namespace wexon::platform {

keying::WindowThreadPost windowThreadPost(QObject* context) {
    QPointer<QObject> guard(context);
    return [guard](std::function<void()> work) {
        QObject* target = guard.data();
        if (target == nullptr) {
            return;
        }
        QMetaObject::invokeMethod(target, std::move(work), Qt::QueuedConnection);
    };
}

} // namespace wexon::platform
