#pragma once
// The skin's operations in the words it logs them (category "tessaline.skin"), in order, while
// one of these lives; `onEach` runs as each one is logged, while the skin is in that step.
#include <QLoggingCategory>
#include <QStringList>
#include <QtGlobal>

#include <functional>

#include "app/skin_framework.h"

namespace testing_support {

class SkinOperations {
 public:
  explicit SkinOperations(std::function<void(const QString&)> onEach = {}) : onEach_(std::move(onEach)) {
    active() = this;
    QLoggingCategory::setFilterRules(QStringLiteral("tessaline.skin.debug=true"));
    previous_ = qInstallMessageHandler(&SkinOperations::handle);
  }
  ~SkinOperations() {
    qInstallMessageHandler(previous_);
    QLoggingCategory::setFilterRules(QString());
    active() = nullptr;
  }
  SkinOperations(const SkinOperations&) = delete;
  SkinOperations& operator=(const SkinOperations&) = delete;

  QStringList log;

 private:
  static SkinOperations*& active() {
    static SkinOperations* current = nullptr;
    return current;
  }
  static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    SkinOperations* self = active();
    if (self && context.category && qstrcmp(context.category, app::SkinFramework::kLogCategory) == 0) {
      self->log << message;
      if (self->onEach_) self->onEach_(message);
      return;
    }
    if (self && self->previous_) self->previous_(type, context, message);
  }

  std::function<void(const QString&)> onEach_;
  QtMessageHandler previous_ = nullptr;
};

}  // namespace testing_support
