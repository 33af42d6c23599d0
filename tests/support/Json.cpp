#include "tests/support/Json.h"

#include "platform/Text.h"
#include "tests/support/TempFolder.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace ostrevan::test {

// A recursive-descent reader of RFC 8259 text.
class JsonParser final {
public:
    explicit JsonParser(std::string_view text) : m_text(text) {}

    Json document() {
        Json value = parseValue();
        skipBlanks();
        if (m_pos != m_text.size()) {
            fail("text after the value");
        }
        return value;
    }

private:
    [[noreturn]] void fail(const char* what) const {
        throw std::runtime_error(std::string("JSON: ") + what + " at byte " +
                                 std::to_string(m_pos));
    }

    void skipBlanks() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                                         m_text[m_pos] == '\n' || m_text[m_pos] == '\r')) {
            ++m_pos;
        }
    }

    bool take(char c) {
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    void expect(char c) {
        if (!take(c)) {
            fail("unexpected character");
        }
    }

    bool takeWord(std::string_view word) {
        if (m_text.substr(m_pos, word.size()) == word) {
            m_pos += word.size();
            return true;
        }
        return false;
    }

    Json parseValue() {
        skipBlanks();
        if (m_pos >= m_text.size()) {
            fail("missing value");
        }
        Json value;
        const char c = m_text[m_pos];
        if (c == '{') {
            ++m_pos;
            value.m_kind = Json::Kind::Object;
            if (!take('}')) {
                do {
                    skipBlanks();
                    std::string name = parseString();
                    expect(':');
                    value.m_members.emplace_back(std::move(name), parseValue());
                } while (take(','));
                expect('}');
            }
        } else if (c == '[') {
            ++m_pos;
            value.m_kind = Json::Kind::Array;
            if (!take(']')) {
                do {
                    value.m_items.push_back(parseValue());
                } while (take(','));
                expect(']');
            }
        } else if (c == '"') {
            value.m_kind = Json::Kind::String;
            value.m_text = parseString();
        } else if (takeWord("true")) {
            value.m_kind = Json::Kind::Boolean;
            value.m_number = 1;
        } else if (takeWord("false")) {
            value.m_kind = Json::Kind::Boolean;
        } else if (takeWord("null")) {
            value.m_kind = Json::Kind::Null;
        } else {
            value.m_kind = Json::Kind::Number;
            const char* begin = m_text.data() + m_pos;
            const auto [end, error] =
                std::from_chars(begin, m_text.data() + m_text.size(), value.m_number);
            if (error != std::errc()) {
                fail("bad number");
            }
            m_pos += static_cast<std::size_t>(end - begin);
        }
        return value;
    }

    char32_t hexUnit() {
        if (m_pos + 4 > m_text.size()) {
            fail("short \\u escape");
        }
        char32_t unit = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = hexDigitValue(m_text[m_pos++]);
            if (digit < 0) {
                fail("bad \\u escape");
            }
            unit = unit * 16 + static_cast<char32_t>(digit);
        }
        return unit;
    }

    std::string parseString() {
        if (m_pos >= m_text.size() || m_text[m_pos] != '"') {
            fail("string expected");
        }
        ++m_pos;
        std::string out;
        while (m_pos < m_text.size() && m_text[m_pos] != '"') {
            const char c = m_text[m_pos++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_pos >= m_text.size()) {
                fail("escape at the end");
            }
            const char escaped = m_text[m_pos++];
            switch (escaped) {
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u':
                out += unicodeEscape();
                break;
            default:
                out += escaped;
            }
        }
        if (m_pos >= m_text.size()) {
            fail("unterminated string");
        }
        ++m_pos;
        return out;
    }

    // The UTF-8 of one \u escape, a surrogate pair taking two.
    std::string unicodeEscape() {
        char16_t units[2] = {static_cast<char16_t>(hexUnit()), 0};
        std::size_t count = 1;
        if (units[0] >= 0xD800 && units[0] <= 0xDBFF && takeWord("\\u")) {
            units[1] = static_cast<char16_t>(hexUnit());
            count = 2;
        }
        return fromUtf16Le(std::span(reinterpret_cast<const std::uint8_t*>(units), 2 * count));
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

namespace {

const Json& missing() {
    static const Json value;
    return value;
}

} // namespace

Json Json::parse(std::string_view text) {
    return JsonParser(text).document();
}

Json Json::load(const std::string& path) {
    std::ifstream in(pathOf(path), std::ios::binary);
    if (!in) {
        return {};
    }
    return parse(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

const Json& Json::operator[](std::string_view name) const {
    for (const auto& [memberName, value] : m_members) {
        if (memberName == name) {
            return value;
        }
    }
    return missing();
}

const std::vector<Json>& Json::items() const {
    return m_items;
}

const std::vector<std::pair<std::string, Json>>& Json::members() const {
    return m_members;
}

const std::string& Json::text() const {
    return m_text;
}

std::int64_t Json::integer() const {
    return static_cast<std::int64_t>(std::llround(m_number));
}

std::string Json::hexBytes() const {
    const std::string& hex = isObject() ? (*this)["hex"].text() : m_text;
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(hexDigitValue(hex[i]) * 16 + hexDigitValue(hex[i + 1]));
    }
    return bytes;
}

} // namespace ostrevan::test
