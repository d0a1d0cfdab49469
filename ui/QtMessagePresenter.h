#pragma once

#include "MessagePresenter.h"

namespace relicwright {

// Message boxes as QMessageBox: application-modal, one OK button, text shown literally.
class QtMessagePresenter final : public MessagePresenter {
public:
    void present(QWidget* owner, const Message& message) override;
};

} // namespace relicwright
