#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace tessel::devsim {

// The device's script language (".wcr"), the small C-like subset the simulator carries out.
using ScriptValue = std::variant<long long, std::string>;

struct ScriptError : std::runtime_error {
    ScriptError(int line, const std::string& message)
        : std::runtime_error("line " + std::to_string(line) + ": " + message) {}
};

struct Expr {
    enum class Kind { Number, String, Variable, Call, Unary, Binary, Assign };
    Kind kind;
    int line = 0;
    long long number = 0;
    std::string text;  // string value, variable or function name, or operator
    std::vector<std::unique_ptr<Expr>> operands;
};

struct Stmt {
    enum class Kind { Block, Var, If, Return, Expression };
    Kind kind;
    int line = 0;
    std::string name;                         // Var: the variable
    std::unique_ptr<Expr> expr;               // Var initialiser, If condition, Return value, Expression
    std::vector<std::unique_ptr<Stmt>> body;  // Block: its statements; If: then and, when present, else
};

struct ScriptFunction {
    std::string name;
    std::vector<std::string> params;
    Stmt body;
};

struct ScriptProgram {
    std::vector<ScriptFunction> functions;
};

}  // namespace tessel::devsim
