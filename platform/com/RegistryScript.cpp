#include "platform/com/RegistryScript.h"

#include "platform/registry/Registry.h"

#include <cctype>
#include <cstdlib>

namespace plat {
namespace {

std::string upper(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

struct Token {
    std::string text;
    bool quoted = false;
};

class Parser {
  public:
    Parser(const std::string& script, const std::map<std::string, std::string>& replacements)
        : source(script) {
        for (const auto& r : replacements) {
            names[upper(r.first)] = r.second;
        }
    }

    bool parse(std::vector<ScriptRoot>* out) {
        if (!tokenize()) {
            return false;
        }
        while (at < tokens.size()) {
            ScriptRoot root;
            const Token& name = tokens[at++];
            std::string n = upper(name.text);
            if (!name.quoted && (n == "HKCR" || n == "HKEY_CLASSES_ROOT")) {
                root.root = HKEY_CLASSES_ROOT;
            } else if (!name.quoted && (n == "HKLM" || n == "HKEY_LOCAL_MACHINE")) {
                root.root = HKEY_LOCAL_MACHINE;
            } else {
                return fail("unknown root key '" + name.text + "'");
            }
            if (!expect("{") || !keyList(&root.keys, false)) {
                return false;
            }
            out->push_back(std::move(root));
        }
        return true;
    }

    std::string error;

  private:
    bool fail(const std::string& why) {
        if (error.empty()) {
            error = why;
        }
        return false;
    }

    bool punct(const char* p) const {
        return at < tokens.size() && !tokens[at].quoted && tokens[at].text == p;
    }

    bool expect(const char* p) {
        if (!punct(p)) {
            return fail(std::string("expected '") + p + "'" +
                        (at < tokens.size() ? " before '" + tokens[at].text + "'" : " at the end"));
        }
        ++at;
        return true;
    }

    // Replaces %NAME% and %%.
    bool substitute(const std::string& in, std::string* out) {
        out->clear();
        for (size_t i = 0; i < in.size(); ++i) {
            if (in[i] != '%') {
                *out += in[i];
                continue;
            }
            size_t end = in.find('%', i + 1);
            if (end == std::string::npos) {
                return fail("unmatched % in '" + in + "'");
            }
            std::string name = in.substr(i + 1, end - i - 1);
            if (name.empty()) {
                *out += '%';
            } else {
                auto found = names.find(upper(name));
                if (found == names.end()) {
                    return fail("no replacement for %" + name + "%");
                }
                *out += found->second;
            }
            i = end;
        }
        return true;
    }

    bool tokenize() {
        size_t i = 0;
        while (i < source.size()) {
            unsigned char c = static_cast<unsigned char>(source[i]);
            if (std::isspace(c)) {
                ++i;
                continue;
            }
            Token t;
            if (c == '\'') {
                t.quoted = true;
                ++i;
                for (;;) {
                    if (i >= source.size()) {
                        return fail("unterminated quoted text");
                    }
                    if (source[i] == '\'') {
                        if (i + 1 < source.size() && source[i + 1] == '\'') {
                            t.text += '\'';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    t.text += source[i++];
                }
            } else {
                while (i < source.size() && !std::isspace(static_cast<unsigned char>(source[i]))) {
                    t.text += source[i++];
                }
            }
            std::string replaced;
            if (!substitute(t.text, &replaced)) {
                return false;
            }
            t.text = replaced;
            tokens.push_back(t);
        }
        return true;
    }

    bool value(ScriptValue* v) {
        if (at + 1 >= tokens.size()) {
            return fail("value expected at the end");
        }
        std::string type = upper(tokens[at].text);
        const std::string& text = tokens[at + 1].text;
        at += 2;
        if (type == "S") {
            v->type = REG_SZ;
            v->data = text;
            return true;
        }
        if (type == "D") {
            char* end = nullptr;
            unsigned long long n = std::strtoull(text.c_str(), &end, 0);
            if (text.empty() || *end != '\0' || n > 0xFFFFFFFFull) {
                return fail("bad number '" + text + "'");
            }
            DWORD d = static_cast<DWORD>(n);
            v->type = REG_DWORD;
            v->data.assign(reinterpret_cast<const char*>(&d), sizeof d);
            return true;
        }
        if (type == "B") {
            if (text.size() % 2 != 0) {
                return fail("odd number of hexadecimal digits in '" + text + "'");
            }
            v->type = REG_BINARY;
            v->data.clear();
            for (size_t i = 0; i < text.size(); i += 2) {
                if (!std::isxdigit(static_cast<unsigned char>(text[i])) ||
                    !std::isxdigit(static_cast<unsigned char>(text[i + 1]))) {
                    return fail("bad hexadecimal bytes '" + text + "'");
                }
                v->data += static_cast<char>(std::strtoul(text.substr(i, 2).c_str(), nullptr, 16));
            }
            return true;
        }
        return fail("unknown value type '" + tokens[at - 2].text + "'");
    }

    // Keys (and, in a key body, values) up to the closing brace.
    bool keyList(std::vector<ScriptKey>* keys, bool body, ScriptKey* owner = nullptr) {
        while (!punct("}")) {
            if (at >= tokens.size()) {
                return fail("missing '}'");
            }
            if (punct("{") || punct("=")) {
                return fail("key name expected before '" + tokens[at].text + "'");
            }
            std::string word = upper(tokens[at].text);
            bool quoted = tokens[at].quoted;
            if (body && !quoted && word == "VAL") {
                ++at;
                if (at >= tokens.size()) {
                    return fail("value name expected at the end");
                }
                ScriptValue v;
                v.name = tokens[at++].text;
                if (!expect("=") || !value(&v)) {
                    return false;
                }
                owner->values.push_back(v);
                continue;
            }
            ScriptKey key;
            if (!quoted && (word == "FORCEREMOVE" || word == "NOREMOVE" || word == "DELETE")) {
                key.flag = word == "FORCEREMOVE" ? ScriptKey::Flag::ForceRemove
                           : word == "NOREMOVE"  ? ScriptKey::Flag::NoRemove
                                                 : ScriptKey::Flag::Delete;
                ++at;
                if (at >= tokens.size() || punct("{") || punct("}") || punct("=")) {
                    return fail("key name expected after " + word);
                }
            }
            key.name = tokens[at++].text;
            if (key.name.empty() || key.name.find('\\') != std::string::npos) {
                return fail("bad key name '" + key.name + "'");
            }
            if (punct("=")) {
                ++at;
                ScriptValue v;
                if (!value(&v)) {
                    return false;
                }
                key.values.push_back(v);
            }
            if (punct("{")) {
                ++at;
                if (!keyList(&key.subkeys, true, &key)) {
                    return false;
                }
            }
            keys->push_back(std::move(key));
        }
        ++at;
        return true;
    }

    const std::string& source;
    std::map<std::string, std::string> names;
    std::vector<Token> tokens;
    size_t at = 0;
};

} // namespace

bool parseRegistryScript(const std::string& script,
                         const std::map<std::string, std::string>& replacements,
                         std::vector<ScriptRoot>* out, std::string* error) {
    Parser parser(script, replacements);
    std::vector<ScriptRoot> roots;
    bool ok = parser.parse(&roots);
    if (ok) {
        *out = std::move(roots);
    } else if (error != nullptr) {
        *error = parser.error;
    }
    return ok;
}

} // namespace plat
