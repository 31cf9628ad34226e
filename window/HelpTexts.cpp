// The help panel's texts, kept together for translators and product
// writers. Several controls share one text: a label, its text box and the
// check box they belong to.

#include "HelpTexts.h"

#include <QHash>

namespace zx::ui {

namespace {

const char* const AuxUnit =
    "有些存货可以按两种计量单位计量，例如：鱼既可以按公斤计量，也可以按条计量；"
    "砖既可以按吨计量，也可以按块计量；木板既可以按平方米计量，也可以按张计量。"
    "每组中的第一种单位（公斤、吨、平方米）称为计量单位，第二种单位（条、块、张）"
    "称为辅计量单位。存货的成本按计量单位核算，辅计量单位只用于统计。";

const char* const ZeroIssue =
    "零出库指出库数量大于存货的结存数量时，仍然出库，即超现存量出库。允许零出库时："
    "所有单据录入时，将允许负出库。不允许零出库时：所有单据录入时，将不允许负出库。";

const char* const Kits =
    "成套件是指既可以单独出售，又可以与其他存货搭配在一起成套出售的存货。"
    "例如：财务软件和进销存软件分别单独销售，又组合成“企业管理软件套装”一起销售，"
    "这个套装就是成套件，两种软件是它的单件。"
    "成套件按整套入库和出库；查询统计时，既可按单件统计，也可按成套件统计。";

const char* const Remote =
    "如果企业的销售组织模式为分销模式，即由总部和若干异地的分销机构组成集团，"
    "各分销机构设有自己的仓库，总部与分销机构之间需要定期交换业务数据，"
    "这种数据交换称为远程处理。远程处理的方式有三种：点对点(调制解调器)、E-"
    "mail、文件（共享目录）。";

const char* const GoodClass =
    "无分类时，不能设置存货分类。从无分类改成有分类时，一级编码长度固定为二位，"
    "其他级次用户可自由设置；没有设置存货分类时，可从有分类改成无分类。";
const char* const CustClass =
    "无分类时，不能设置客户分类。从无分类改成有分类时，一级编码长度固定为二位，"
    "其他级次用户可自由设置；没有设置客户分类时，可从有分类改成无分类。";
const char* const ProvClass =
    "无分类时，不能设置供应商分类。从无分类改成有分类时，一级编码长度固定为二位，"
    "其他级次用户可自由设置；没有设置供应商分类时，可从有分类改成无分类。";

const char* const FixedRate =
    "如果是固定换算率，在单据只，修改数量时，换算率不变，件数跟着变，修改件数或换算率时，"
    "同目前的做法。如果不是固定换算率，数量、件数和换算率之间的关系同目前的做法。";

const char* const Batch =
    "批次管理指对存货的收发存进行批次跟踪，既可以按批次统计存货的收发存情况，"
    "也可以按存货统计其全部批次的汇总情况。批次管理也是进行保质期管理和供应商跟踪的手段："
    "通过批次可以查询每个供应商供应了多少货物，其中已经销售多少、退货多少、还有多少库存。";

const char* const ShelfLife =
    "保质期管理指对存货的失效日期进行监控：对过期、到期的存货进行报警，并对即将过期的存货进行预警。"
    "只有批次管理时，才能进行保质期管理，即要想保质期管理必须先要批次管理。";

const char* const Assembly =
    "某些企业的某些存货既可单独出售，又可与其他存货组装在一起销售。例如：电脑经销商既可以"
    "把显示器、主机、键盘分别单独出售，也可以按顾客的要求把它们组装成一台电脑出售，这时要做组装业务"
    "；"
    "如果库存中只有组装好的电脑，而顾客只想买一台显示器，就要把电脑拆开，单独出售显示器，这时要做拆"
    "卸业务。";

const char* const FormConversion =
    "由于自然条件或其他因素的影响，某些存货会由一种形态转换成另一种形态，例如：块煤经过风化变成碎煤"
    "，"
    "活鱼因缺氧死亡变成死鱼。形态转换会改变存货的规格和成本，因此库管员要填写形态转换单"
    "（又称规格调整单），经审核后再据以调整账面上的存货。";

const char* const StockAlarm =
    "指单据录入时，如果存货当前现存量小于最低库存量或大于最高库存量，是否需要系统报警。";

const char* const SalesIssue = "销售出库单是否由销售系统生成";

const char* const StartMonth =
    "对新建的账套，用户应输入启用日期，即本系统开始使用的会计月份。启用月份应设为开始录入日常业务单"
    "据的"
    "月份，例如从6月份起录入日常单据，启用月份就应设为6。启用月份以前发生的业务不能再作为日常单据录"
    "入，"
    "只能作为期初数据录入。";

const char* const PurchaseCurrency =
    "如果企业有外币采购业务，那么就应该将该项打上勾。设置后，采购订单、采购发票和采购菜单会将有关外"
    "币的"
    "功能添加进系统，否则系统不会出现有关外币业务的功能。";

const char* const ConsignmentIn =
    "商业企业如果有受托代销业务，那么就应该将该项打上勾。设置后，采购系统会将受托代销入库单和受托代"
    "销"
    "结算、统计表等功能添加进系统，否则系统不会出现有关受托代销的功能。";

const char* const SalesCurrency =
    "若有，可以将币种项选入可处理外币业务单据的格式；相关账表查询的筛选条件中包含币种，输出内容中包"
    "含"
    "外币业务的业务信息。否则系统不能处理外币业务。";

const char* const ConsignmentOut =
    "若有，系统主菜单的【业务】下有【委托代销】菜单项，可处理委托代销业务并可查询相关的账表；"
    "否则系统不处理委托代销业务。";

const char* const RetailDaily =
    "若有，系统主菜单的【业务】菜单项下有【零售】菜单项，相关账表如销售收入明细账中包含零售日报的数"
    "据；"
    "否则系统不能处理零售日报业务。";

const char* const SalesTransfer =
    "若有，系统主菜单的【业务】下有【销售调拨】菜单项，相关账表如销售收入明细账中包含销售调拨单的数"
    "据；"
    "否则系统不能处理内部销售调拨业务。";

const char* const OverOrder =
    "若是，在参照销售订单增加发货单、销售发票时，如果货物的发货数量超过了该订单尚未执行的订货数量，"
    "系统要求输入口令加以确认，口令正确才能继续；否则系统不对订货数量进行检查。";

const char* const QuoteWithTax =
    "报价指填制销售单据时货物的本位币的参考售价。若选择此项，报价作为含税单价的默认值，"
    "折扣额为按报价计算的金额减去价税合计；若不选择此项，报价作为无税单价的默认值，"
    "折扣额为按报价计算的金额减去无税金额。最低售价也按此项的选择确定是否含税。";

const char* const PlanWithTax =
    "若是，销售计划中的计划销售金额和销售定额两项指标，均指税后金额，计划执行情况表用含税的实际销售"
    "额"
    "与之比较；否则这两项指标均指税前金额，计划执行情况表用不含税的实际销售额与之比较。";

const char* const CreditLimit =
    "若是，在增加、修改和审核销售订单、发货单、销售发票、委托代销发货单、委托代销结算单时，"
    "若当前客户的应收账款余额超过了该客户的档案中设定的信用额度值，系统要求输入控制口令加以确认，"
    "口令正确才能继续操作；否则系统不进行信用额度检查。";

const char* const LowestPrice =
    "若是，在增加、修改和审核销售订单、发货单、销售发票、委托代销发货单、委托代销结算单时，"
    "若货物的实际销售价格超过了存货档案中设定的最低售价（实际销售价格是否含税，由“销售报价是否含税”"
    "选项决定），系统要求输入控制口令加以确认，口令正确才能继续操作；否则系统不进行最低售价检查。";

const char* const ValuationBasis =
    "初建账套时，用户可以选择按仓库核算或按部门核算。按仓库核算时，每个仓库单独设置计价方式，"
    "各仓库的出库成本分别计算；按部门核算时，同一所属部门的各个仓库使用相同的计价方式，"
    "其出库成本合并计算。一旦录入了期初数据，核算方式就不能再修改。";

const char* const Estimates =
    "如果与采购系统集成使用时，用户可以进行暂估业务，并在此选择暂估入库存货成本的回冲方式："
    "月初回冲、单到回冲、单到补差，三者任选其一。明细账中还有未报销的暂估业务时，不能修改回冲方式"
    "。";

const char* const ZeroCost =
    "零出库成本选择是指出库单据记明细账时，如果出现账中为负成本，造成出库成本不可计算时，"
    "出库成本的取值方式。用户可以随时对零出库成本进行重新选择。各方式如下：";
const char* const LastIssueCost =
    "上次出库成本：取明细账中此存货的上一次出库单价，作为本出库单据的出库单价，计算出库成本。";
const char* const ReferenceCost =
    "参考成本：取存货目录中此存货的参考成本，即参考单价，作为本出库单据的出库单价，计算出库成本。";
const char* const BalanceCost =
    "结存成本：取明细账中的此存货的结存单价，作为本出库单据的出库单价，计算出库成本。";
const char* const LastReceiptCost =
    "上次入库成本：取明细账中此存货的上一次入库单价，作为本出库单据的出库单价，计算出库成本。";
const char* const ManualCost =
    "手工输入：提示用户输入单价，作为本出库单据的出库单价，计算出库成本。";

const char* const FundPlan =
    "资金占用规划的选择是指用户确定本企业按某种方式输入资金占用规划，并按此种方式进行资金占用的分析"
    "。"
    "用户可以随时对资金占用规划进行重新选择。";

// The texts stay UTF-8 until one is shown: the window asks for every
// control's text as it is made, to know which have one.
const QHash<QString, const char*>& texts() {
    static const QHash<QString, const char*> table = [] {
        const std::pair<const char*, const char*> entries[] = {
            {"Ch11", AuxUnit},        {"Ch12", ZeroIssue},        {"Ch13", Kits},
            {"Ch14", Remote},         {"Ch15", GoodClass},        {"Ch16", CustClass},
            {"Ch17", ProvClass},      {"Ch18", FixedRate},        {"Ch21", Batch},
            {"Ch22", ShelfLife},      {"Ch23", Assembly},         {"Ch24", FormConversion},
            {"Ch25", StockAlarm},     {"Ch27", SalesIssue},       {"La26", StartMonth},
            {"Te26", StartMonth},     {"Ch31", PurchaseCurrency}, {"Ch32", ConsignmentIn},
            {"La33", StartMonth},     {"Te33", StartMonth},       {"Ch41", SalesCurrency},
            {"Ch42", ConsignmentOut}, {"Ch43", RetailDaily},      {"Ch44", SalesTransfer},
            {"Ch46", OverOrder},      {"Ch47", QuoteWithTax},     {"Ch48", PlanWithTax},
            {"Ch49", CreditLimit},    {"La45", CreditLimit},      {"Te41", CreditLimit},
            {"Ch410", LowestPrice},   {"La46", LowestPrice},      {"Te42", LowestPrice},
            {"La47", StartMonth},     {"Te43", StartMonth},       {"La51", ValuationBasis},
            {"La52", Estimates},      {"La53", ZeroCost},         {"Op56", LastIssueCost},
            {"Op57", ReferenceCost},  {"Op58", BalanceCost},      {"Op59", LastReceiptCost},
            {"Op510", ManualCost},    {"La54", FundPlan},         {"La55", StartMonth},
            {"Te55", StartMonth},
        };
        QHash<QString, const char*> map;
        for (const auto& [name, text] : entries)
            map.insert(QString::fromLatin1(name), text);
        return map;
    }();
    return table;
}

}  // namespace

bool hasHelpText(const QString& controlName) {
    return texts().contains(controlName);
}

QString helpTextFor(const QString& controlName) {
    const char* text = texts().value(controlName);
    return text ? QString::fromUtf8(text) : QString();
}

}  // namespace zx::ui
