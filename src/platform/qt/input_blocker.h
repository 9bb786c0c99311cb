#pragma once

#include <QObject>
#include <functional>

class QEvent;

namespace pravelo::platform::qt {

// While it lives, the user's keys, clicks, wheel turns and shortcuts are
// dropped application-wide: not queued, so nothing pressed meanwhile acts
// later. Input to a dialog opened meanwhile (a message the work shows) and to
// the targets the owner names still gets through.
class InputBlocker : public QObject {
  public:
    explicit InputBlocker(std::function<bool(const QObject*, const QEvent&)> letThrough);
    ~InputBlocker() override;
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

    static bool isUserInput(const QEvent& event);

  protected:
    bool eventFilter(QObject* target, QEvent* event) override;

  private:
    std::function<bool(const QObject*, const QEvent&)> letThrough_;
};

}  // namespace pravelo::platform::qt
