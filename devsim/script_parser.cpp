#include "devsim/script_parser.h"

#include <cctype>

namespace tessel::devsim {

namespace {

struct Token {
    enum class Kind { Identifier, Number, String, Punct, End };
    Kind kind;
    std::string text;
    long long number = 0;
    int line = 0;
};

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    std::vector<Token> Tokens() {
        std::vector<Token> tokens;
        for (SkipSpaceAndComments(); pos_ < text_.size(); SkipSpaceAndComments()) tokens.push_back(Next());
        tokens.push_back({Token::Kind::End, "end of script", 0, line_});
        return tokens;
    }

private:
    void SkipSpaceAndComments() {
        while (pos_ < text_.size()) {
            if (text_[pos_] == '\n') ++line_;
            if (std::isspace(static_cast<unsigned char>(text_[pos_]))) {
                ++pos_;
            } else if (text_.substr(pos_, 2) == "//") {
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else if (text_.substr(pos_, 2) == "/*") {
                const auto end = text_.find("*/", pos_ + 2);
                if (end == std::string_view::npos) throw ScriptError(line_, "unterminated comment");
                for (auto i = pos_; i < end; ++i) line_ += text_[i] == '\n';
                pos_ = end + 2;
            } else {
                return;
            }
        }
    }

    Token Next() {
        const char c = text_[pos_];
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            const auto start = pos_;
            while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_')) {
                ++pos_;
            }
            return {Token::Kind::Identifier, std::string(text_.substr(start, pos_ - start)), 0, line_};
        }
        if (std::isdigit(static_cast<unsigned char>(c))) return NumberToken();
        if (c == '"') return StringToken();
        for (std::string_view two : {"==", "!=", "<=", ">=", "&&", "||"}) {
            if (text_.substr(pos_, 2) == two) {
                pos_ += 2;
                return {Token::Kind::Punct, std::string(two), 0, line_};
            }
        }
        if (std::string_view("(){};,=+-!<>").find(c) == std::string_view::npos) {
            throw ScriptError(line_, std::string("unexpected character '") + c + "'");
        }
        ++pos_;
        return {Token::Kind::Punct, std::string(1, c), 0, line_};
    }

    Token NumberToken() {
        const auto start = pos_;
        while (pos_ < text_.size() && std::isalnum(static_cast<unsigned char>(text_[pos_]))) ++pos_;
        const std::string digits(text_.substr(start, pos_ - start));
        std::size_t used = 0;
        long long value = 0;
        try {
            value = std::stoll(digits, &used, 0);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != digits.size()) throw ScriptError(line_, "bad number " + digits);
        return {Token::Kind::Number, digits, value, line_};
    }

    Token StringToken() {
        const int line = line_;
        std::string value;
        for (++pos_; pos_ < text_.size() && text_[pos_] != '"'; ++pos_) {
            const char c = text_[pos_];
            if (c == '\n') break;
            if (c != '\\' || pos_ + 1 >= text_.size()) {
                value += c;
                continue;
            }
            const char escaped = text_[pos_ + 1];
            const std::string_view from = "\\\"nrta";
            const std::string_view to = "\\\"\n\r\t\a";
            const auto which = from.find(escaped);
            if (which == std::string_view::npos) {
                value += c;  // not an escape: the backslash is part of the text
                continue;
            }
            value += to[which];
            ++pos_;
        }
        if (pos_ >= text_.size() || text_[pos_] != '"') throw ScriptError(line, "unterminated string");
        ++pos_;
        return {Token::Kind::String, value, 0, line};
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    ScriptProgram Program() {
        ScriptProgram program;
        while (Peek().kind != Token::Kind::End) program.functions.push_back(Function());
        return program;
    }

private:
    const Token& Peek() const { return tokens_[pos_]; }
    bool IsPunct(std::string_view p) const { return Peek().kind == Token::Kind::Punct && Peek().text == p; }
    bool IsWord(std::string_view w) const { return Peek().kind == Token::Kind::Identifier && Peek().text == w; }
    const Token& Take() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }

    bool Accept(std::string_view p) {
        if (!IsPunct(p)) return false;
        Take();
        return true;
    }

    void Expect(std::string_view p) {
        if (!Accept(p)) throw ScriptError(Peek().line, "expected '" + std::string(p) + "' before " + Peek().text);
    }

    std::string Identifier() {
        if (Peek().kind != Token::Kind::Identifier) throw ScriptError(Peek().line, "expected a name before " + Peek().text);
        return Take().text;
    }

    ScriptFunction Function() {
        if (!IsWord("Function")) throw ScriptError(Peek().line, "expected Function before " + Peek().text);
        Take();
        ScriptFunction function{Identifier(), {}, {}};
        Expect("(");
        if (!IsPunct(")")) {
            do function.params.push_back(Identifier());
            while (Accept(","));
        }
        Expect(")");
        if (!IsPunct("{")) throw ScriptError(Peek().line, "expected '{' before " + Peek().text);
        function.body = std::move(*Statement());
        return function;
    }

    std::unique_ptr<Stmt> Statement() {
        auto stmt = std::make_unique<Stmt>(Stmt{Stmt::Kind::Expression, Peek().line, {}, {}, {}});
        if (Accept("{")) {
            stmt->kind = Stmt::Kind::Block;
            while (!Accept("}")) {
                if (Peek().kind == Token::Kind::End) throw ScriptError(Peek().line, "missing '}'");
                stmt->body.push_back(Statement());
            }
        } else if (Accept(";")) {
            stmt->kind = Stmt::Kind::Block;
        } else if (IsWord("var")) {
            Take();
            stmt->kind = Stmt::Kind::Var;
            stmt->name = Identifier();
            if (Accept("=")) stmt->expr = Expression();
            Expect(";");
        } else if (IsWord("if")) {
            Take();
            stmt->kind = Stmt::Kind::If;
            Expect("(");
            stmt->expr = Expression();
            Expect(")");
            stmt->body.push_back(Statement());
            if (IsWord("else")) {
                Take();
                stmt->body.push_back(Statement());
            }
        } else if (IsWord("return")) {
            Take();
            stmt->kind = Stmt::Kind::Return;
            if (!IsPunct(";")) stmt->expr = Expression();
            Expect(";");
        } else {
            stmt->expr = Expression();
            Expect(";");
        }
        return stmt;
    }

    std::unique_ptr<Expr> Node(Expr::Kind kind, int line, std::string text = {}) {
        auto node = std::make_unique<Expr>();
        node->kind = kind;
        node->line = line;
        node->text = std::move(text);
        return node;
    }

    std::unique_ptr<Expr> Binary(std::unique_ptr<Expr> left, const Token& op, std::unique_ptr<Expr> right) {
        auto node = Node(Expr::Kind::Binary, op.line, op.text);
        node->operands.push_back(std::move(left));
        node->operands.push_back(std::move(right));
        return node;
    }

    std::unique_ptr<Expr> Expression() {
        auto left = LeftAssociative(0);
        if (!IsPunct("=")) return left;
        const Token op = Take();
        if (left->kind != Expr::Kind::Variable) throw ScriptError(op.line, "cannot assign to this");
        auto node = Node(Expr::Kind::Assign, op.line, left->text);
        node->operands.push_back(Expression());
        return node;
    }

    // Operator levels from loosest to tightest binding.
    std::unique_ptr<Expr> LeftAssociative(std::size_t level) {
        static const std::vector<std::vector<std::string_view>> levels = {
            {"||"}, {"&&"}, {"==", "!="}, {"<", "<=", ">", ">="}, {"+", "-"}};
        if (level == levels.size()) return Unary();
        auto left = LeftAssociative(level + 1);
        for (;;) {
            bool matched = false;
            for (auto op : levels[level]) matched = matched || IsPunct(op);
            if (!matched) return left;
            const Token op = Take();
            left = Binary(std::move(left), op, LeftAssociative(level + 1));
        }
    }

    std::unique_ptr<Expr> Unary() {
        if (IsPunct("-") || IsPunct("!")) {
            const Token op = Take();
            auto node = Node(Expr::Kind::Unary, op.line, op.text);
            node->operands.push_back(Unary());
            return node;
        }
        return Primary();
    }

    std::unique_ptr<Expr> Primary() {
        const Token token = Take();
        switch (token.kind) {
            case Token::Kind::Number: {
                auto node = Node(Expr::Kind::Number, token.line);
                node->number = token.number;
                return node;
            }
            case Token::Kind::String:
                return Node(Expr::Kind::String, token.line, token.text);
            case Token::Kind::Identifier: {
                if (!Accept("(")) return Node(Expr::Kind::Variable, token.line, token.text);
                auto call = Node(Expr::Kind::Call, token.line, token.text);
                if (!IsPunct(")")) {
                    do call->operands.push_back(Expression());
                    while (Accept(","));
                }
                Expect(")");
                return call;
            }
            default:
                if (token.text == "(") {
                    auto inner = Expression();
                    Expect(")");
                    return inner;
                }
                throw ScriptError(token.line, "unexpected " + token.text);
        }
    }

    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
};

}  // namespace

ScriptProgram ParseScript(std::string_view text) { return Parser(Lexer(text).Tokens()).Program(); }

}  // namespace tessel::devsim
