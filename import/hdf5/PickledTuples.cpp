#include "PickledTuples.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace kadivo {

namespace {

struct Value {
    enum class Kind { Mark, Text, List, Tuple } kind;
    std::string text;
    std::vector<Value> items;
    int depth = 0;  // how deep lists and tuples nest in it
};

constexpr std::size_t kMostValues = 1'000'000;
// Column names nest two deep; the limit keeps the copies and their release off a deep stack.
constexpr int kDeepest = 16;

class Unpickler {
public:
    explicit Unpickler(const std::string& pickle) : in_(pickle) {}

    Value Run() {
        while (at_ < in_.size()) {
            const char op = in_[at_++];
            switch (op) {
                case '(': Push({Value::Kind::Mark, {}, {}}); break;
                case ']': Push({Value::Kind::List, {}, {}, 1}); break;
                case ')': Push({Value::Kind::Tuple, {}, {}, 1}); break;
                case 'l': Push(Container(Value::Kind::List, PopToMark())); break;
                case 't': Push(Container(Value::Kind::Tuple, PopToMark())); break;
                case 'a': {
                    Value item = Pop();
                    Add(ListOnTop(), std::move(item));
                    break;
                }
                case 'e': {
                    std::vector<Value> items = PopToMark();
                    Value& list = ListOnTop();
                    for (Value& item : items) Add(list, std::move(item));
                    break;
                }
                case 'p': memo_[Line()] = Top(); Count(Top()); break;
                case 'g': {
                    const auto found = memo_.find(Line());
                    if (found == memo_.end()) Fail("a memo entry that was never put");
                    Count(found->second);
                    Push(found->second);
                    break;
                }
                case 'V': Push({Value::Kind::Text, RawUnicode(Line()), {}}); break;
                case 'I':
                case 'L': Push({Value::Kind::Text, Integer(Line()), {}}); break;
                case 'N': Push({Value::Kind::Text, "None", {}}); break;
                case '.':
                    if (stack_.size() != 1) Fail("a stop with more than one value");
                    return stack_.back();
                default: Fail(std::string("an operation '") + op + "' that is not read");
            }
        }
        Fail("no stop");
    }

private:
    [[noreturn]] static void Fail(const std::string& what) { throw std::invalid_argument("the pickle holds " + what); }

    static Value Container(Value::Kind kind, std::vector<Value> items) {
        Value container{kind, {}, {}, 1};
        for (Value& item : items) Add(container, std::move(item));
        return container;
    }
    static void Add(Value& container, Value item) {
        container.depth = std::max(container.depth, item.depth + 1);
        if (container.depth > kDeepest) Fail("lists nested too deep");
        container.items.push_back(std::move(item));
    }

    void Push(Value value) {
        if (++made_ > kMostValues) Fail("too many values");
        stack_.push_back(std::move(value));
    }
    Value Pop() {
        if (stack_.empty() || stack_.back().kind == Value::Kind::Mark) Fail("an operation without its value");
        Value value = std::move(stack_.back());
        stack_.pop_back();
        return value;
    }
    Value& Top() {
        if (stack_.empty()) Fail("an operation without its value");
        return stack_.back();
    }
    Value& ListOnTop() {
        if (stack_.empty() || stack_.back().kind != Value::Kind::List) Fail("an append to what is not a list");
        return stack_.back();
    }
    std::vector<Value> PopToMark() {
        std::size_t mark = stack_.size();
        while (mark > 0 && stack_[mark - 1].kind != Value::Kind::Mark) --mark;
        if (mark == 0) Fail("no mark");
        std::vector<Value> items(std::make_move_iterator(stack_.begin() + static_cast<std::ptrdiff_t>(mark)),
                                 std::make_move_iterator(stack_.end()));
        stack_.resize(mark - 1);
        return items;
    }
    // Copies from the memo count against the limit as the values they copy.
    void Count(const Value& value) {
        made_ += 1;
        for (const Value& item : value.items) Count(item);
        if (made_ > kMostValues) Fail("too many values");
    }
    std::string Line() {
        const std::size_t end = in_.find('\n', at_);
        if (end == std::string::npos) Fail("a line without its end");
        std::string line = in_.substr(at_, end - at_);
        at_ = end + 1;
        return line;
    }
    static std::string Integer(const std::string& text) {
        std::string digits = text;
        if (!digits.empty() && digits.back() == 'L') digits.pop_back();
        long long value = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error != std::errc() || end != digits.data() + digits.size()) Fail("an integer that is not one");
        return std::to_string(value);
    }
    // Python's raw-unicode-escape: bytes are Latin-1 characters, \uXXXX and \UXXXXXXXX
    // escapes; the result is UTF-8.
    static std::string RawUnicode(const std::string& text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            unsigned long code = static_cast<unsigned char>(text[i]);
            if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'u' || text[i + 1] == 'U')) {
                const std::size_t digits = text[i + 1] == 'u' ? 4 : 8;
                if (i + 2 + digits > text.size()) Fail("a broken escape");
                const char* first = text.data() + i + 2;
                const auto [end, error] = std::from_chars(first, first + digits, code, 16);
                if (error != std::errc() || end != first + digits || code > 0x10FFFF) Fail("a broken escape");
                i += 1 + digits;
            }
            AppendUtf8(out, code);
        }
        return out;
    }
    static void AppendUtf8(std::string& out, unsigned long code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    const std::string& in_;
    std::size_t at_ = 0;
    std::vector<Value> stack_;
    std::map<std::string, Value> memo_;
    std::size_t made_ = 0;
};

}  // namespace

std::vector<std::vector<std::string>> ReadPickledTuples(const std::string& pickle) {
    const Value list = Unpickler(pickle).Run();
    if (list.kind != Value::Kind::List) throw std::invalid_argument("the pickle holds no list");
    std::vector<std::vector<std::string>> tuples;
    for (const Value& tuple : list.items) {
        if (tuple.kind != Value::Kind::Tuple) throw std::invalid_argument("the pickle's list holds what is not a tuple");
        std::vector<std::string>& texts = tuples.emplace_back();
        for (const Value& item : tuple.items) {
            if (item.kind != Value::Kind::Text) throw std::invalid_argument("a tuple of the pickle holds what is not a text");
            texts.push_back(item.text);
        }
    }
    return tuples;
}

}  // namespace kadivo
