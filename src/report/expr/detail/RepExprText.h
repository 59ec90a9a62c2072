#pragma once
// The texts of report expressions: the messages of the faults an
// expression can hold and the words of boolean results.

#include <QString>

namespace RepExprText {
inline constexpr const char *NotPrepared = "Evaluator not prepared";
inline constexpr const char *ErrorInExpression = "Error in expression : %1";
inline constexpr const char *Missing = "Missing %1";
inline constexpr const char *UnknownFunction = "Unknown function : %1";
inline constexpr const char *IllegalNumeric = "Illegal character in numeric contant \"%1\"";
inline constexpr const char *InvalidNot = "Invalid use of NOT";
inline constexpr const char *OperatorIncompatible = "Operator %1 is not compatible with %2 expressions";
inline constexpr const char *CannotOperate = "Cannot %1 %2 expressions";
inline constexpr const char *DivideByZero = "Cannot divide by 0";
inline constexpr const char *WrongArguments = "Wrong arguments for %1";
inline constexpr const char *MissingArgument = "Missing argument for %1";
inline constexpr const char *TooManyArguments = "Too many arguments";
inline constexpr const char *InvalidSqrt = "Invalid argument to SQRT function";
inline constexpr const char *DivisionByZero = "Division by Zero";
inline constexpr const char *ConversionError = "Conversion error";
inline constexpr const char *InvalidFormat = "Invalid format or value specified";
inline constexpr const char *UnknownFieldType = "Field %1 is of unknown type";
inline constexpr const char *RecursiveCall = "Recursive calls not allowed";
inline constexpr const char *TrueText = "True";
inline constexpr const char *FalseText = "False";

// The message text with its place filled in.
QString Message(const char *text, const QString &a = QString(), const QString &b = QString());
} // namespace RepExprText
