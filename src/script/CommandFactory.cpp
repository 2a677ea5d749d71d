#include "script/CommandFactory.h"

#include <iterator>

#include "core/EZunoError.h"
#include "script/ComFlow.h"
#include "script/ComMedia.h"
#include "script/ComObject.h"

namespace zuno {

namespace {

using TCommandMaker = std::unique_ptr<TCommand> (*)(TPage*);

template <class T>
std::unique_ptr<TCommand> make(TPage* page) {
    return std::make_unique<T>(page);
}

struct TCommandTypeEntry {
    TCommandType        type;
    TCommandTypeInfo    info;
    TCommandMaker       maker;
};

template <class T>
constexpr TCommandTypeEntry entry(std::string_view name, std::string_view labelUtf8) {
    return {T::Type, {name, labelUtf8}, make<T>};
}

// One entry per type, in code order; the class each entry makes names its
// own type, and the check below holds every entry to its place.
constexpr TCommandTypeEntry CommandTypes[] = {
    entry<TComIf>("If", "IF"),
    entry<TComElseif>("Elseif", "ELSE IF"),
    entry<TComElse>("Else", "ELSE"),
    entry<TComLabel>("Label", "ラベル"),
    entry<TComJump>("Jump", "ジャンプ"),
    entry<TComCall>("Call", "コール"),
    entry<TComExit>("Exit", "リターン"),
    entry<TComWait>("Wait", "ウエイト"),
    entry<TComBoxNew>("BoxNew", "矩形サーフェス作成"),
    entry<TComImgNew>("ImgNew", "画像サーフェス作成"),
    entry<TComMesNew>("MesNew", "メッセージボックス作成"),
    entry<TComTimer>("Timer", "タイマー"),
    entry<TComMovie>("Movie", "ムービー再生"),
    entry<TComFlip>("Flip", "フリップ"),
    entry<TComCalc>("Calc", "計算"),
    entry<TComVarNew>("VarNew", "変数作成"),
    entry<TComVarDel>("VarDel", "変数削除"),
    entry<TComGetProp>("GetProp", "プロパティ取得"),
    entry<TComSetProp>("SetProp", "プロパティ設定"),
    entry<TComObjDel>("ObjDel", "コンポーネント削除"),
    entry<TComTextIns>("TextIns", "テキスト挿入"),
    entry<TComMovieStop>("MovieStop", "メディア停止"),
    entry<TComClrHist>("ClrHist", "履歴クリア"),
    entry<TComCinema>("Cinema", "シネマサーフェス作成"),
    entry<TComCaption>("Caption", "キャプション作成"),
    entry<TComMenu>("Menu", "メニュー作成"),
    entry<TComMenuClose>("MenuClose", "メニュークローズ"),
    entry<TComComment>("Comment", "コメント"),
    entry<TComTextClr>("TextClr", "テキストクリア"),
    entry<TComCallHist>("CallHist", "履歴呼出"),
    entry<TComBtnNew>("Button", "ボタン作成"),
    entry<TComWhile>("While", "ループ"),
    entry<TComWhileInit>("WhileInit", "ループ初期化"),
    entry<TComWhileLoop>("WhileLoop", "ループ再初期化"),
    entry<TComBreak>("Break", "ループ脱出"),
    entry<TComContinue>("Continue", "ループ先頭へ"),
    entry<TComParticleNew>("ParticleNew", "パーティクルサーフェス作成"),
    entry<TComFireNew>("FireNew", "炎サーフェス作成"),
    entry<TComGameSave>("GameSave", "ゲームセーブ"),
    entry<TComGameLoad>("GameLoad", "ゲームロード"),
    entry<TComPCReset>("PCReset", "PCリセット"),
    entry<TComReset>("Reset", "リセット"),
    entry<TComSound>("Sound", "サウンド再生"),
    entry<TComEditNew>("EditNew", "エディット作成"),
    entry<TComMemoNew>("MemoNew", "メモ作成"),
    entry<TComTerminate>("Terminate", "終了"),
    entry<TComDoEvent>("DoEvent", "DoEvent"),
    entry<TComClrRead>("ClrRead", "既読クリア"),
    entry<TComMapImgNew>("MapImgNew", "選択画像作成"),
    entry<TComWaveNew>("WaveNew", "ウエーブサーフェス作成"),
    entry<TComTileNew>("TileNew", "タイルサーフェス作成"),
    entry<TComSliderNew>("SliderNew", "スライダー作成"),
    entry<TComScrollbarNew>("ScrollbarNew", "スクロールバー作成"),
    entry<TComGaugeNew>("GaugeNew", "ゲージ作成"),
    entry<TComCGCaption>("CGCaption", "画像キャプション作成"),
    entry<TComMediaPlay>("MediaPlay", "メディア再生"),
    entry<TComPrevMenuNew>("PrevMenuNew", "プレビューメニュー作成"),
    entry<TComPropMotion>("PropMotion", "プロパティモーション"),
    entry<TComEntryHist>("FormatHist", "履歴書式登録"),
    entry<TComCabinetSave>("SaveCabinet", "キャビネット保存"),
    entry<TComCabinetLoad>("LoadCabinet", "キャビネット復帰"),
};

constexpr bool inCodeOrder() {
    for (int code = 0; code < CommandTypeCount; ++code)
        if (CommandTypes[code].type != code)
            return false;
    return true;
}
static_assert(std::size(CommandTypes) == CommandTypeCount, "one table entry per command type");
static_assert(inCodeOrder(), "the table lists the command types in code order");

} // namespace

const TCommandTypeInfo& commandTypeInfo(int code) {
    if (code < 0 || code >= CommandTypeCount)
        throw EZunoError::fromUtf8("不正なコマンド");
    return CommandTypes[code].info;
}

std::unique_ptr<TCommand> createCommand(uint8_t typeByte, TPage* page) {
    const int code = typeByte & 0x7F;
    if (code >= CommandTypeCount)
        throw EZunoError::fromUtf8("不正なコマンド");
    std::unique_ptr<TCommand> c = CommandTypes[code].maker(page);
    c->FStoredType = typeByte;
    return c;
}

} // namespace zuno
