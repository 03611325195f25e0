#include "devsim/script_runner.h"

#include <map>

namespace tessel::devsim {

namespace {

constexpr int kMaxCallDepth = 64;

struct ReturnSignal {
    ScriptValue value;
};

class Runner {
public:
    Runner(const ScriptProgram& program, ScriptHost& host) : program_(program), host_(host) {}

    ScriptValue Call(int line, const std::string& name, const std::vector<ScriptValue>& args) {
        for (const auto& function : program_.functions) {
            if (function.name != name) continue;
            if (function.params.size() != args.size()) throw ScriptError(line, name + ": wrong number of arguments");
            if (depth_ == kMaxCallDepth) throw ScriptError(line, "calls nested too deep");
            std::map<std::string, ScriptValue> frame;
            for (std::size_t i = 0; i < args.size(); ++i) frame[function.params[i]] = args[i];
            std::swap(frame, variables_);
            ++depth_;
            ScriptValue result = 0LL;
            try {
                Execute(function.body);
            } catch (ReturnSignal& signal) {
                result = std::move(signal.value);
            }
            --depth_;
            std::swap(frame, variables_);
            return result;
        }
        if (auto result = host_.CallBuiltin(line, name, args)) return *result;
        throw ScriptError(line, "unknown function " + name);
    }

private:
    void Execute(const Stmt& stmt) {
        switch (stmt.kind) {
            case Stmt::Kind::Block:
                for (const auto& inner : stmt.body) Execute(*inner);
                break;
            case Stmt::Kind::Var:
                variables_[stmt.name] = stmt.expr ? Evaluate(*stmt.expr) : ScriptValue(0LL);
                break;
            case Stmt::Kind::If:
                if (IsTrue(Evaluate(*stmt.expr))) {
                    Execute(*stmt.body[0]);
                } else if (stmt.body.size() > 1) {
                    Execute(*stmt.body[1]);
                }
                break;
            case Stmt::Kind::Return:
                throw ReturnSignal{stmt.expr ? Evaluate(*stmt.expr) : ScriptValue(0LL)};
            case Stmt::Kind::Expression:
                Evaluate(*stmt.expr);
                break;
        }
    }

    static bool IsTrue(const ScriptValue& value) {
        if (const auto* number = std::get_if<long long>(&value)) return *number != 0;
        return !std::get<std::string>(value).empty();
    }

    static std::string Text(const ScriptValue& value) {
        if (const auto* number = std::get_if<long long>(&value)) return std::to_string(*number);
        return std::get<std::string>(value);
    }

    ScriptValue Evaluate(const Expr& expr) {
        switch (expr.kind) {
            case Expr::Kind::Number:
                return expr.number;
            case Expr::Kind::String:
                return expr.text;
            case Expr::Kind::Variable: {
                const auto found = variables_.find(expr.text);
                if (found == variables_.end()) throw ScriptError(expr.line, "unknown variable " + expr.text);
                return found->second;
            }
            case Expr::Kind::Assign: {
                if (!variables_.contains(expr.text)) throw ScriptError(expr.line, "unknown variable " + expr.text);
                return variables_[expr.text] = Evaluate(*expr.operands[0]);
            }
            case Expr::Kind::Call: {
                std::vector<ScriptValue> args;
                for (const auto& operand : expr.operands) args.push_back(Evaluate(*operand));
                return Call(expr.line, expr.text, args);
            }
            case Expr::Kind::Unary: {
                const ScriptValue operand = Evaluate(*expr.operands[0]);
                if (expr.text == "!") return static_cast<long long>(!IsTrue(operand));
                return static_cast<long long>(0ULL - static_cast<unsigned long long>(Number(expr, operand)));
            }
            case Expr::Kind::Binary:
                return EvaluateBinary(expr);
        }
        throw ScriptError(expr.line, "bad expression");
    }

    static long long Number(const Expr& expr, const ScriptValue& value) {
        if (const auto* number = std::get_if<long long>(&value)) return *number;
        throw ScriptError(expr.line, "'" + expr.text + "' needs a number");
    }

    ScriptValue EvaluateBinary(const Expr& expr) {
        const std::string& op = expr.text;
        const ScriptValue left = Evaluate(*expr.operands[0]);
        if (op == "&&" && !IsTrue(left)) return 0LL;
        if (op == "||" && IsTrue(left)) return 1LL;
        const ScriptValue right = Evaluate(*expr.operands[1]);
        if (op == "&&" || op == "||") return static_cast<long long>(IsTrue(right));
        if (op == "==") return static_cast<long long>(left == right);
        if (op == "!=") return static_cast<long long>(left != right);
        if (op == "+" && (std::holds_alternative<std::string>(left) || std::holds_alternative<std::string>(right))) {
            return Text(left) + Text(right);
        }
        const long long a = Number(expr, left);
        const long long b = Number(expr, right);
        // Arithmetic wraps around: a script's overflow must not be undefined behaviour of the simulator.
        if (op == "+") return static_cast<long long>(static_cast<unsigned long long>(a) + static_cast<unsigned long long>(b));
        if (op == "-") return static_cast<long long>(static_cast<unsigned long long>(a) - static_cast<unsigned long long>(b));
        if (op == "<") return static_cast<long long>(a < b);
        if (op == "<=") return static_cast<long long>(a <= b);
        if (op == ">") return static_cast<long long>(a > b);
        return static_cast<long long>(a >= b);
    }

    const ScriptProgram& program_;
    ScriptHost& host_;
    std::map<std::string, ScriptValue> variables_;
    int depth_ = 0;
};

}  // namespace

long long RunScript(const ScriptProgram& program, ScriptHost& host) {
    const ScriptValue result = Runner(program, host).Call(0, "main", {});
    if (const auto* number = std::get_if<long long>(&result)) return *number;
    return 0;
}

}  // namespace tessel::devsim
