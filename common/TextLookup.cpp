#include "common/TextLookup.h"

namespace texts {

std::string shown(const TextLookup& lookup, const char* context, const std::string& text)
{
    return lookup ? lookup(context, text) : text;
}

std::string fill(const std::string& textTemplate, std::initializer_list<std::string> values)
{
    std::string text;
    text.reserve(textTemplate.size());
    for (size_t at = 0; at < textTemplate.size(); ++at) {
        const char c = textTemplate[at];
        if (c == '%' && at + 1 < textTemplate.size()) {
            const int number = textTemplate[at + 1] - '0';
            if (number >= 1 && number <= static_cast<int>(values.size())) {
                text += *(values.begin() + (number - 1));
                ++at;
                continue;
            }
        }
        text += c;
    }
    return text;
}

std::string shownFilled(const TextLookup& lookup, const char* context, const std::string& textTemplate,
                        std::initializer_list<std::string> values)
{
    return fill(shown(lookup, context, textTemplate), values);
}

}  // namespace texts
