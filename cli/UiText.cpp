#include "cli/UiText.h"

#include "cli/UiTextTable.h"
#include "files/UserSettings.h"

#include <algorithm>
#include <cstring>

const char* findText(const UiTextTable& table, const char* context, const std::string& source)
{
    const UiTextEntry* end = table.entries + table.count;
    auto before = [](const UiTextEntry& entry, const std::pair<const char*, const char*>& key) {
        const int byContext = std::strcmp(entry.context, key.first);
        return byContext < 0 || (byContext == 0 && std::strcmp(entry.source, key.second) < 0);
    };
    const std::pair<const char*, const char*> key(context, source.c_str());
    const UiTextEntry* found = std::lower_bound(table.entries, end, key, before);
    if (found == end || std::strcmp(found->context, context) != 0 || found->source != source)
        return nullptr;
    return found->translation;
}

texts::Language cliLanguage()
{
    static const texts::Language language = texts::shownLanguage(
        texts::choiceOfName(files::readUserSetting(texts::kLanguageSetting).value_or("")));
    return language;
}

std::string uiText(const char* context, const std::string& text)
{
    if (cliLanguage() == texts::Language::Chinese)
        return text;
    const char* translation = findText(englishTexts(), context, text);
    return translation ? translation : text;
}
