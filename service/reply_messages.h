#pragma once

// The Chinese texts of the service's replies. The desktop tool shows "message" as it
// stands, so each rejection names the rule that was broken.
namespace brenvik::reply_messages {

inline constexpr const char* kCreated = "短网址已生成";
inline constexpr const char* kFoundAgain = "短网址已存在";

inline constexpr const char* kUrlEmpty = "网址不能为空";
inline constexpr const char* kUrlTooLong = "网址过长（最多 8192 字节）";
inline constexpr const char* kUrlHasSpaceOrControl = "网址不能包含空格或控制字符";
inline constexpr const char* kUrlSchemeNotAllowed = "只接受 http 或 https 网址";
inline constexpr const char* kUrlWithoutHost = "网址缺少主机名";
inline constexpr const char* kUrlBadPort = "网址的端口无效";
inline constexpr const char* kUrlPointsAtService = "不能缩短本服务自己的网址";

inline constexpr const char* kAliasBadCharacters = "自定义短网址只能包含字母、数字、“-”和“_”";
inline constexpr const char* kAliasTooLong = "自定义短网址最多 64 个字符";
inline constexpr const char* kAliasReserved = "该短网址为保留名称";
inline constexpr const char* kAliasTaken = "该短网址已被占用";

inline constexpr const char* kRateLimited = "请求过于频繁，请稍后再试";
inline constexpr const char* kMalformedEscape = "请求数据格式错误（百分号编码无效）";
inline constexpr const char* kNotUtf8 = "请求数据格式错误（不是有效的 UTF-8 文本）";
inline constexpr const char* kDuplicateField = "请求数据格式错误（字段重复）";
inline constexpr const char* kNotForm = "请求数据格式错误（只接受表单编码）";
inline constexpr const char* kTooLarge = "请求过大";
inline constexpr const char* kPostOnly = "只接受 POST 请求";
inline constexpr const char* kStoreFailed = "服务暂时无法保存，请稍后再试";

}  // namespace brenvik::reply_messages
