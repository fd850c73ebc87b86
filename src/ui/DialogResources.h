#pragma once
// Where dialogs find their templates and icons: the current resource source.
#include <optional>

#include <QIcon>

#include "ui/DialogTemplate.h"

class DialogResources {
public:
    virtual ~DialogResources() = default;
    virtual std::optional<DialogTemplate> LoadDialogTemplate(int templateId) const = 0;
    virtual QIcon LoadIcon(int iconId) const = 0;
};
