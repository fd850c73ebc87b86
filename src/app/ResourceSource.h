#pragma once
// The current resource source: the language module while one is active, else
// the program's own resources. Strings, dialog templates and icons are looked
// up by number there; what a module lacks is taken from the program's own.
// Menus and cursors too. A module text that would read other printf
// arguments than the program's own text of its number is replaced by that text.
#include <map>
#include <optional>
#include <string>

#include "ui/DialogResources.h"

class ResourceModule;

class ResourceSource : public DialogResources {
public:
    explicit ResourceSource(const ResourceModule& own);

    // Makes `module` the source (nullptr: the program's own resources again).
    void UseModule(const ResourceModule* module);
    const ResourceModule& Current() const;
    bool IsModuleActive() const { return m_module != nullptr; }

    std::optional<std::string> LoadString(int id) const;
    std::optional<DialogTemplate> LoadDialogTemplate(int templateId) const override;
    QIcon LoadIcon(int iconId) const override;
    std::optional<MenuTemplate> LoadMenuTemplate(int menuId) const override;
    std::optional<QCursor> LoadCursor(int cursorId) const override;

    // Makes this source answer LoadResourceString for the whole program.
    void InstallAsStringLoader() const;

private:
    const std::map<int, std::string>& StringsOf(const ResourceModule& module) const;
    // Puts the program's own text in place of each of a module's texts that
    // would read other format arguments.
    void KeepOwnFormats(const ResourceModule& module, std::map<int, std::string>& strings) const;

    const ResourceModule& m_own;
    const ResourceModule* m_module = nullptr;
    mutable std::map<const ResourceModule*, std::map<int, std::string>> m_strings;
};
