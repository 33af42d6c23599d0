#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ostrevan::test {

// A JSON value as the recorded vectors need it, read-only. A member or item that is not there
// is a Missing value, so that lookups can be chained.
class Json final {
public:
    enum class Kind { Missing, Null, Boolean, Number, String, Array, Object };

    // Raises std::runtime_error on malformed text.
    static Json parse(std::string_view text);
    // The file's value; Missing when it cannot be read.
    static Json load(const std::string& path);

    Kind kind() const { return m_kind; }
    bool isMissing() const { return m_kind == Kind::Missing; }
    bool isNull() const { return m_kind == Kind::Null; }
    bool isString() const { return m_kind == Kind::String; }
    bool isObject() const { return m_kind == Kind::Object; }

    // The member, Missing when this is no object or has no such member.
    const Json& operator[](std::string_view name) const;
    // The items of an array; none for any other value.
    const std::vector<Json>& items() const;
    // The members of an object in the order they were written.
    const std::vector<std::pair<std::string, Json>>& members() const;

    // The text of a string, "" for any other value.
    const std::string& text() const;
    // A number (or a boolean as 0 and 1) as an integer; 0 for any other value.
    std::int64_t integer() const;
    // The bytes a {"hex": ...} object or a hex string gives.
    std::string hexBytes() const;

private:
    friend class JsonParser;

    Kind m_kind = Kind::Missing;
    double m_number = 0;
    std::string m_text;
    std::vector<Json> m_items;
    std::vector<std::pair<std::string, Json>> m_members;
};

} // namespace ostrevan::test
