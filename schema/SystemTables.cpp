#include "schema/TableBuilder.h"
#include "schema/TableGroups.h"

namespace vm::schema::detail {

std::vector<TableDef> systemTableDefs() {
    std::vector<TableDef> t;

    t.push_back(TableBuilder("comp")
                    .int32("Comp_Code", true)
                    .text("Comp_Name", 60)
                    .text("Comp_Adr1", 40)
                    .text("Comp_adr2", 40)
                    .text("Comp_city", 40)
                    .text("Comp_Prov", 40)
                    .text("Comp_Country", 40)
                    .text("Comp_Postal_code", 30)
                    .text("Comp_telephone", 30)
                    .text("Comp_Contact", 40)
                    .text("Comp_Passwd", 10)
                    .int32("Comp_Ret_Earn_accnt")
                    .int32("Comp_profit_line")
                    .text("Comp_pro_das", 20)
                    .text("Comp_fed_das1", 20)
                    .text("Comp_fed_das2", 20)
                    .key({"Comp_Code"}));

    // Rows are visited in table order; the shell holds one row locked.
    t.push_back(TableBuilder("session").int32("Session_id").boolean("Session_lock"));

    t.push_back(TableBuilder("apps")
                    .text("Application_name", 60)
                    .text("Application_name_fr", 60)
                    .text("Application_pgm", 60)
                    .text("Application_about", 200)
                    .text("Application_about_fr", 200)
                    .text("Application_security", 60)
                    .boolean("Application_type")
                    .text("Application_directory", 240));

    t.push_back(TableBuilder("user")
                    .text("User_password", 10, true)
                    .text("User_code", 10, true)
                    .text("User_name", 30, true)
                    .int16("User_detail")
                    .int16("User_language", true)
                    .int16("User_company", true)
                    .text("User_printer", 128)
                    .bytes("User_security", 200)
                    .key({"User_password"}));

    t.push_back(TableBuilder("desktop")
                    .text("Desktop_user", 10)
                    .autoInc("Desktop_index")
                    .int32("Desktop_ComponentIndex")
                    .int32("Desktop_Component_type")
                    .blob("Desktop_Component", 240)
                    .index("Desktop_user", {"Desktop_user", "Desktop_index"}));

    t.push_back(
        TableBuilder("languages").int32("LangKey").text("LangCode", 3).text("LangName", 20).key({"LangKey"}));

    t.push_back(TableBuilder("arterms")
                    .int32("Arterms_code")
                    .text("Arterms_desc", 40)
                    .int32("Arterms_days")
                    .key({"Arterms_code"}));

    t.push_back(TableBuilder("arterr").text("Arterr_code", 3).text("Arterr_desc", 40).key({"Arterr_code"}));

    // One scratch row per session slot: entry screens and reports bind their
    // working amounts to it so that two users never share them.
    t.push_back(TableBuilder("virmem")
                    .int32("Session_id")
                    .boolean("Session_lock")
                    .series(FieldType::Money, "Curr_", 1, 24)
                    .key({"Session_id"}));

    return t;
}

} // namespace vm::schema::detail
