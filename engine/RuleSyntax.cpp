#include "engine/RuleSyntax.h"

#include <cctype>
#include <charconv>
#include <utility>

namespace {

// Parentheses and NOTs nested deeper than this are refused: the parser and every later pass
// over a rule recurse once per level.
constexpr int32_t kMaxDepth = 100;

struct Token {
    enum class Kind { Factor, String, Number, Word, Op, Open, Close, OpenBrace, CloseBrace, Comma, Semicolon, At, End, Bad };
    Kind kind = Kind::End;
    std::string text;    // a factor's or string's content, a word, an operator, a number as written
    std::string source;  // the token as written, for messages
    double number = 0;
    RuleOp op = RuleOp::Equal;
    RulePosition at;
    RulePosition end;  // just after its last character
};

bool IsWordStart(unsigned char c)
{
    return std::isalpha(c) || c == '_';
}

bool IsWordPart(unsigned char c)
{
    return std::isalnum(c) || c == '_';
}

// The length of the number at the start of text (0 when none): -?digits[.digits][e[+-]digits].
size_t NumberLength(std::string_view text)
{
    size_t i = 0;
    const auto digits = [&] {
        const size_t start = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i;
        return i > start;
    };
    if (i < text.size() && text[i] == '-')
        ++i;
    if (!digits())
        return 0;
    if (i + 1 < text.size() && text[i] == '.' && std::isdigit(static_cast<unsigned char>(text[i + 1]))) {
        ++i;
        digits();
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        const size_t mark = i++;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (!digits())
            i = mark;
    }
    return i;
}

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    Token Next()
    {
        SkipBlanksAndComments();
        Token token;
        token.at = Here();
        if (i_ >= text_.size()) {
            token.kind = Token::Kind::End;
            token.source = "the end of the text";
            token.end = token.at;
            return token;
        }
        const size_t start = i_;
        Read(token);
        if (token.source.empty())
            token.source = Shorten(text_.substr(start, i_ - start));
        token.end = Here();
        return token;
    }

private:
    static std::string Shorten(std::string_view source)
    {
        constexpr size_t kShown = 40;
        if (source.size() <= kShown)
            return std::string(source);
        size_t cut = kShown;
        while (cut > 0 && (static_cast<unsigned char>(source[cut]) & 0xC0) == 0x80)
            --cut;  // not inside a character
        return std::string(source.substr(0, cut)) + "...";
    }

    RulePosition Here() const { return {line_, column_}; }

    void Advance()
    {
        const char c = text_[i_++];
        if (c == '\n') {
            ++line_;
            column_ = 1;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++column_;
        }
    }

    void SkipBlanksAndComments()
    {
        while (i_ < text_.size()) {
            const char c = text_[i_];
            if (c == '#') {
                while (i_ < text_.size() && text_[i_] != '\n')
                    Advance();
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
                Advance();
            } else {
                return;
            }
        }
    }

    void Bad(Token& token, std::string message)
    {
        token.kind = Token::Kind::Bad;
        token.text = std::move(message);
        token.source.assign(1, '?');
    }

    void Read(Token& token)
    {
        const char c = text_[i_];
        const auto single = [&](Token::Kind kind) {
            token.kind = kind;
            Advance();
        };
        switch (c) {
        case '[': ReadFactor(token); return;
        case '"': ReadString(token); return;
        case '(': single(Token::Kind::Open); return;
        case ')': single(Token::Kind::Close); return;
        case '{': single(Token::Kind::OpenBrace); return;
        case '}': single(Token::Kind::CloseBrace); return;
        case ',': single(Token::Kind::Comma); return;
        case ';': single(Token::Kind::Semicolon); return;
        case '@': single(Token::Kind::At); return;
        case '=': ReadOp(token, RuleOp::Equal, 1); return;
        case '<':
            if (Peek(1) == '>')
                ReadOp(token, RuleOp::NotEqual, 2);
            else if (Peek(1) == '=')
                ReadOp(token, RuleOp::LessOrEqual, 2);
            else
                ReadOp(token, RuleOp::Less, 1);
            return;
        case '>':
            ReadOp(token, Peek(1) == '=' ? RuleOp::GreaterOrEqual : RuleOp::Greater, Peek(1) == '=' ? 2 : 1);
            return;
        default: break;
        }
        if (const size_t length = NumberLength(text_.substr(i_)); length > 0) {
            ReadNumber(token, length);
        } else if (IsWordStart(static_cast<unsigned char>(c))) {
            token.kind = Token::Kind::Word;
            while (i_ < text_.size() && IsWordPart(static_cast<unsigned char>(text_[i_]))) {
                token.text += text_[i_];
                Advance();
            }
        } else {
            size_t length = 1;
            while (i_ + length < text_.size() && (static_cast<unsigned char>(text_[i_ + length]) & 0xC0) == 0x80)
                ++length;
            Bad(token, "unexpected character " + std::string(text_.substr(i_, length)));
        }
    }

    char Peek(size_t ahead) const { return i_ + ahead < text_.size() ? text_[i_ + ahead] : '\0'; }

    void ReadOp(Token& token, RuleOp op, int32_t length)
    {
        token.kind = Token::Kind::Op;
        token.op = op;
        for (int32_t k = 0; k < length; ++k)
            Advance();
    }

    void ReadNumber(Token& token, size_t length)
    {
        token.kind = Token::Kind::Number;
        token.text = std::string(text_.substr(i_, length));
        for (size_t k = 0; k < length; ++k)
            Advance();
        if (!ReadRuleNumber(token.text, token.number))
            Bad(token, "number " + token.text + " is out of range");
    }

    void ReadFactor(Token& token)
    {
        Advance();  // [
        const size_t start = i_;
        while (i_ < text_.size() && text_[i_] != ']')
            Advance();
        if (i_ >= text_.size())
            return Bad(token, "unterminated factor name: expected ]");
        token.kind = Token::Kind::Factor;
        token.text = std::string(text_.substr(start, i_ - start));
        Advance();  // ]
        token.source.assign(1, '[').append(Shorten(token.text)).push_back(']');
    }

    void ReadString(Token& token)
    {
        Advance();  // "
        std::string value;
        while (i_ < text_.size() && text_[i_] != '"') {
            if (text_[i_] == '\\') {
                const char next = Peek(1);
                if (next != '"' && next != '\\') {
                    const RulePosition at = Here();
                    Bad(token, std::string("unknown escape \\") + (next == '\0' ? "" : std::string(1, next)) +
                                   " in a string: write \\\\ for a backslash, \\\" for a quote");
                    token.at = at;
                    return;
                }
                Advance();
            }
            value += text_[i_];
            Advance();
        }
        if (i_ >= text_.size())
            return Bad(token, "unterminated string");
        Advance();  // "
        token.kind = Token::Kind::String;
        token.text = std::move(value);
        token.source.assign(1, '"').append(Shorten(token.text)).push_back('"');
    }

    std::string_view text_;
    size_t i_ = 0;
    int32_t line_ = 1;
    int32_t column_ = 1;
};

bool IsKeyword(const Token& token, const char* keyword)
{
    if (token.kind != Token::Kind::Word)
        return false;
    size_t k = 0;
    for (; keyword[k] != '\0'; ++k)
        if (k >= token.text.size() || std::toupper(static_cast<unsigned char>(token.text[k])) != keyword[k])
            return false;
    return k == token.text.size();
}

// Thrown within the parser only: the first problem ends the parse.
struct ParseStop {
    RuleError error;
};

class Parser {
public:
    explicit Parser(std::string_view text) : lexer_(text) { Shift(); }

    std::vector<RuleStatement> Statements()
    {
        std::vector<RuleStatement> statements;
        while (now_.kind != Token::Kind::End) {
            if (now_.kind == Token::Kind::Semicolon) {  // an empty statement
                Shift();
                continue;
            }
            RuleStatement statement = Statement();
            statement.number = static_cast<int32_t>(statements.size()) + 1;
            statements.push_back(std::move(statement));
        }
        return statements;
    }

private:
    void Shift()
    {
        before_ = now_.end;
        now_ = lexer_.Next();
        if (now_.kind == Token::Kind::Bad)
            throw ParseStop{{now_.at, now_.text}};
    }

    [[noreturn]] void Fail(const std::string& expected) const
    {
        throw ParseStop{{now_.at, expected + ", found " + now_.source}};
    }

    void EndStatement()
    {
        if (now_.kind != Token::Kind::Semicolon) {
            const std::string where =
                now_.kind == Token::Kind::End ? "at the end of the text" : "before " + now_.source;
            throw ParseStop{{before_, "missing ; " + where}};
        }
        Shift();
    }

    RuleStatement Statement()
    {
        RuleStatement statement;
        statement.at = now_.at;
        if (now_.kind == Token::Kind::OpenBrace) {
            Group(statement);
        } else if (IsKeyword(now_, "IF")) {
            statement.kind = RuleStatement::Kind::If;
            Shift();
            statement.parts.push_back(Predicate(0));
            if (!IsKeyword(now_, "THEN"))
                Fail("expected THEN");
            Shift();
            statement.parts.push_back(Predicate(0));
            if (IsKeyword(now_, "ELSE")) {
                Shift();
                statement.parts.push_back(Predicate(0));
            }
        } else {
            statement.parts.push_back(Predicate(0));
        }
        EndStatement();
        return statement;
    }

    void Group(RuleStatement& statement)
    {
        statement.kind = RuleStatement::Kind::Group;
        Shift();  // {
        for (;;) {
            if (now_.kind != Token::Kind::Factor)
                Fail("expected a factor in [ ]");
            statement.groupFactors.push_back(now_.text);
            statement.groupFactorsAt.push_back(now_.at);
            Shift();
            if (now_.kind == Token::Kind::CloseBrace)
                break;
            if (now_.kind != Token::Kind::Comma)
                Fail("expected , or }");
            Shift();
        }
        Shift();  // }
        if (now_.kind != Token::Kind::At)
            Fail("expected @ and the group's strength");
        Shift();
        const std::string& digits = now_.text;
        if (now_.kind != Token::Kind::Number || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
            Fail("expected the group's strength, a whole number");
        statement.groupStrength = std::stoi(digits);
        statement.strengthAt = now_.at;
        Shift();
    }

    RuleExpr Predicate(int32_t depth) { return Chain(depth, "OR", RuleExpr::Kind::Or); }

    // Operands joined by one keyword: OR of ANDs, AND of unary terms.
    RuleExpr Chain(int32_t depth, const char* keyword, RuleExpr::Kind kind)
    {
        const bool isOr = kind == RuleExpr::Kind::Or;
        RuleExpr first = isOr ? Chain(depth, "AND", RuleExpr::Kind::And) : Unary(depth);
        if (!IsKeyword(now_, keyword))
            return first;
        RuleExpr chain;
        chain.kind = kind;
        chain.at = first.at;
        chain.children.push_back(std::move(first));
        while (IsKeyword(now_, keyword)) {
            Shift();
            chain.children.push_back(isOr ? Chain(depth, "AND", RuleExpr::Kind::And) : Unary(depth));
        }
        return chain;
    }

    RuleExpr Unary(int32_t depth)
    {
        if (depth >= kMaxDepth)
            throw ParseStop{{now_.at, "rule nested too deeply: at most " + std::to_string(kMaxDepth) +
                                          " levels of parentheses and NOT"}};
        if (IsKeyword(now_, "NOT")) {
            RuleExpr expr;
            expr.kind = RuleExpr::Kind::Not;
            expr.at = now_.at;
            Shift();
            expr.children.push_back(Unary(depth + 1));
            return expr;
        }
        if (now_.kind == Token::Kind::Open) {
            Shift();
            RuleExpr inner = Predicate(depth + 1);
            if (now_.kind != Token::Kind::Close)
                Fail("expected )");
            Shift();
            return inner;
        }
        if (now_.kind != Token::Kind::Factor)
            Fail("expected a factor in [ ], NOT or (");
        return Term();
    }

    RuleValue Value()
    {
        RuleValue value;
        value.isNumber = now_.kind == Token::Kind::Number;
        value.text = now_.text;
        value.number = now_.number;
        value.at = now_.at;
        Shift();
        return value;
    }

    bool AtValue() const { return now_.kind == Token::Kind::String || now_.kind == Token::Kind::Number; }

    RuleExpr Term()
    {
        RuleExpr term;
        term.at = term.factorAt = now_.at;
        term.factor = now_.text;
        const std::string shown = now_.source;
        Shift();
        if (IsKeyword(now_, "NOT")) {
            term.negated = true;
            Shift();
            if (!IsKeyword(now_, "IN") && !IsKeyword(now_, "LIKE"))
                Fail("expected IN or LIKE after NOT");
        }
        term.opAt = now_.at;
        if (IsKeyword(now_, "IN")) {
            term.kind = RuleExpr::Kind::In;
            Shift();
            ValueList(term);
        } else if (IsKeyword(now_, "LIKE")) {
            term.kind = RuleExpr::Kind::Like;
            Shift();
            if (now_.kind != Token::Kind::String)
                Fail("expected a quoted pattern after LIKE");
            term.values.push_back(Value());
        } else if (now_.kind == Token::Kind::Op) {
            term.op = now_.op;
            Shift();
            if (now_.kind == Token::Kind::Factor) {
                term.kind = RuleExpr::Kind::CompareFactors;
                term.other = now_.text;
                term.otherAt = now_.at;
                Shift();
            } else if (AtValue()) {
                term.kind = RuleExpr::Kind::Compare;
                term.values.push_back(Value());
            } else {
                Fail(std::string("expected a value or a factor after ") + RuleOpText(term.op));
            }
        } else {
            Fail("expected =, <>, <, <=, >, >=, IN or LIKE after " + shown);
        }
        return term;
    }

    void ValueList(RuleExpr& term)
    {
        if (now_.kind != Token::Kind::OpenBrace)
            Fail("expected { after IN");
        Shift();
        for (;;) {
            if (!AtValue())
                Fail("expected a value");
            term.values.push_back(Value());
            if (now_.kind == Token::Kind::CloseBrace)
                break;
            if (now_.kind != Token::Kind::Comma)
                Fail("expected , or }");
            Shift();
        }
        Shift();
    }

    Lexer lexer_;
    Token now_;
    RulePosition before_;
};

}  // namespace

const char* RuleOpText(RuleOp op)
{
    switch (op) {
    case RuleOp::Equal: return "=";
    case RuleOp::NotEqual: return "<>";
    case RuleOp::Less: return "<";
    case RuleOp::LessOrEqual: return "<=";
    case RuleOp::Greater: return ">";
    case RuleOp::GreaterOrEqual: return ">=";
    }
    return "?";
}

bool ReadRuleNumber(std::string_view text, double& value)
{
    if (text.empty() || NumberLength(text) != text.size())
        return false;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    return problem == std::errc() && end == text.data() + text.size();
}

ParsedRules ParseRules(std::string_view text)
{
    ParsedRules parsed;
    try {
        Parser parser(text);
        parsed.statements = parser.Statements();
    } catch (const ParseStop& stop) {
        parsed.ok = false;
        parsed.error = stop.error;
        parsed.statements.clear();
    }
    return parsed;
}
