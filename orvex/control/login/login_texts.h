// The login dialog's own texts.
#pragma once

namespace login_texts {

// Confirming with an empty user name or password.
inline constexpr char16_t kEmptyCredentials[] = u"用户名和密码不能为空！";
// Confirming with a port text that is not a whole number.
inline constexpr char16_t kPortNotANumber[] = u"请输入一个整数。";
// Confirming with a whole number beyond the signed 32-bit range.
inline constexpr char16_t kPortOutOfRange[] = u"请输入介于 -2147483648 和 2147483647 之间的整数。";

} // namespace login_texts
