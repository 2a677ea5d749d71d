#include "script/CommandFactory.h"

#include <array>

#include "core/Cp932.h"
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

struct TCommandType {
    TCommandTypeInfo    info;
    TCommandMaker       maker;
};

const TCommandType CommandTypes[CommandTypeCount] = {
    {{"If", "IF"}, make<TComIf>},
    {{"Elseif", "ELSE IF"}, make<TComElseif>},
    {{"Else", "ELSE"}, make<TComElse>},
    {{"Label", "ラベル"}, make<TComLabel>},
    {{"Jump", "ジャンプ"}, make<TComJump>},
    {{"Call", "コール"}, make<TComCall>},
    {{"Exit", "リターン"}, make<TComExit>},
    {{"Wait", "ウエイト"}, make<TComWait>},
    {{"BoxNew", "矩形サーフェス作成"}, make<TComBoxNew>},
    {{"ImgNew", "画像サーフェス作成"}, make<TComImgNew>},
    {{"MesNew", "メッセージボックス作成"}, make<TComMesNew>},
    {{"Timer", "タイマー"}, make<TComTimer>},
    {{"Movie", "ムービー再生"}, make<TComMovie>},
    {{"Flip", "フリップ"}, make<TComFlip>},
    {{"Calc", "計算"}, make<TComCalc>},
    {{"VarNew", "変数作成"}, make<TComVarNew>},
    {{"VarDel", "変数削除"}, make<TComVarDel>},
    {{"GetProp", "プロパティ取得"}, make<TComGetProp>},
    {{"SetProp", "プロパティ設定"}, make<TComSetProp>},
    {{"ObjDel", "コンポーネント削除"}, make<TComObjDel>},
    {{"TextIns", "テキスト挿入"}, make<TComTextIns>},
    {{"MovieStop", "メディア停止"}, make<TComMovieStop>},
    {{"ClrHist", "履歴クリア"}, make<TComClrHist>},
    {{"Cinema", "シネマサーフェス作成"}, make<TComCinema>},
    {{"Caption", "キャプション作成"}, make<TComCaption>},
    {{"Menu", "メニュー作成"}, make<TComMenu>},
    {{"MenuClose", "メニュークローズ"}, make<TComMenuClose>},
    {{"Comment", "コメント"}, make<TComComment>},
    {{"TextClr", "テキストクリア"}, make<TComTextClr>},
    {{"CallHist", "履歴呼出"}, make<TComCallHist>},
    {{"Button", "ボタン作成"}, make<TComBtnNew>},
    {{"While", "ループ"}, make<TComWhile>},
    {{"WhileInit", "ループ初期化"}, make<TComWhileInit>},
    {{"WhileLoop", "ループ再初期化"}, make<TComWhileLoop>},
    {{"Break", "ループ脱出"}, make<TComBreak>},
    {{"Continue", "ループ先頭へ"}, make<TComContinue>},
    {{"ParticleNew", "パーティクルサーフェス作成"}, make<TComParticleNew>},
    {{"FireNew", "炎サーフェス作成"}, make<TComFireNew>},
    {{"GameSave", "ゲームセーブ"}, make<TComGameSave>},
    {{"GameLoad", "ゲームロード"}, make<TComGameLoad>},
    {{"PCReset", "PCリセット"}, make<TComPCReset>},
    {{"Reset", "リセット"}, make<TComReset>},
    {{"Sound", "サウンド再生"}, make<TComSound>},
    {{"EditNew", "エディット作成"}, make<TComEditNew>},
    {{"MemoNew", "メモ作成"}, make<TComMemoNew>},
    {{"Terminate", "終了"}, make<TComTerminate>},
    {{"DoEvent", "DoEvent"}, make<TComDoEvent>},
    {{"ClrRead", "既読クリア"}, make<TComClrRead>},
    {{"MapImgNew", "選択画像作成"}, make<TComMapImgNew>},
    {{"WaveNew", "ウエーブサーフェス作成"}, make<TComWaveNew>},
    {{"TileNew", "タイルサーフェス作成"}, make<TComTileNew>},
    {{"SliderNew", "スライダー作成"}, make<TComSliderNew>},
    {{"ScrollbarNew", "スクロールバー作成"}, make<TComScrollbarNew>},
    {{"GaugeNew", "ゲージ作成"}, make<TComGaugeNew>},
    {{"CGCaption", "画像キャプション作成"}, make<TComCGCaption>},
    {{"MediaPlay", "メディア再生"}, make<TComMediaPlay>},
    {{"PrevMenuNew", "プレビューメニュー作成"}, make<TComPrevMenuNew>},
    {{"PropMotion", "プロパティモーション"}, make<TComPropMotion>},
    {{"FormatHist", "履歴書式登録"}, make<TComEntryHist>},
    {{"SaveCabinet", "キャビネット保存"}, make<TComCabinetSave>},
    {{"LoadCabinet", "キャビネット復帰"}, make<TComCabinetLoad>},
};

} // namespace

const TCommandTypeInfo& commandTypeInfo(int code) {
    if (code < 0 || code >= CommandTypeCount)
        throw EZunoError::fromUtf8("不正なコマンド");
    return CommandTypes[code].info;
}

std::string commandLabel(int code) { return utf8ToCp932(commandTypeInfo(code).labelUtf8); }

std::unique_ptr<TCommand> createCommand(uint8_t typeByte, TPage* page) {
    const int code = typeByte & 0x7F;
    if (code >= CommandTypeCount)
        throw EZunoError::fromUtf8("不正なコマンド");
    std::unique_ptr<TCommand> c = CommandTypes[code].maker(page);
    c->FStoredType = typeByte;
    return c;
}

} // namespace zuno
