#include "schema/TableBuilder.h"
#include "schema/TableGroups.h"

namespace vm::schema::detail {

// The payroll modules maintain emp; the desktop only lists it. Every column
// must exist with its type so that the list can open the table.
std::vector<TableDef> employeeTableDefs() {
    TableBuilder t("emp");
    t.text("Emp_Code", 10, true);
    for (const char* f : {"Emp_Name", "Emp_Adr1", "Emp_Adr2", "Emp_City", "Emp_province"})
        t.text(f, 40);
    t.int32("Emp_prov_code");
    for (const char* f : {"Emp_Postal_code", "Emp_Telephone", "Emp_Occupation"})
        t.text(f, 30);
    t.text("Emp_SIN", 9).date("Emp_Birth_Date").date("Emp_Start_Date").date("Emp_End_Date");
    t.text("Emp_Pension", 30).int32("Emp_Dept").text("Emp_Bank_Accnt", 30);
    t.boolean("Emp_Active").boolean("Emp_Fixed_Calc").boolean("Emp_Hourly");
    t.int32("Emp_pay_periods").int32("Emp_period_comm");
    t.flt("Emp_Hours").flt("Emp_Hourly_Rate").flt("Emp_hours_per");
    t.int32("Emp_UIC_Rate").flt("Emp_Vacation_Rate");
    for (const char* f : {"Emp_Gross", "Emp_Tax_Ben", "Emp_TD1", "Emp_MR_19_17", "Emp_MR_19C", "Emp_MR19_12",
                          "Emp_TD3", "Emp_MR19_23", "Emp_YTD_Alimony", "Emp_Alimony"})
        t.money(f);
    t.int32("Emp_Tax_Code").flt("Emp_Commision_Rate");
    for (const char* f :
         {"Emp_Fed_Ben",        "Emp_Pro_Ben",      "Emp_YTD_Fed_Ben", "Emp_YTD_Tax_Ben", "Emp_YTD_Pro_Ben",
          "Emp_YTD_TD3",        "Emp_YTD_MR19_23",  "Emp_YTD_Gross",   "Emp_YTD_Hours",   "Emp_YTD_No_Tax",
          "Emp_YTD_Comissions", "Emp_YTD_UIC",      "Emp_YTD_RRQ",     "Emp_YTD_CPP",     "Emp_YTD_UIC_Earn",
          "Emp_YTD_RRQ_Earn",   "Emp_YTD_CPP_Earn", "Emp_YTD_Net_Sal", "Emp_YTD_Pension", "Emp_YTD_Fed_Tax",
          "Emp_YTD_Pro_Tax",    "Emp_YTD_Vacation"})
        t.money(f);
    // The stored names carry two historical spellings.
    t.each(1, 10, [](TableBuilder& b, const std::string& n) {
        b.money("Emp_Ded" + n)
            .boolean("Emp_Ded" + n + "_Type")
            .boolean((n == "7" ? "EMP_Ded" : "Emp_Ded") + n + "_Taxable")
            .money((std::stoi(n) >= 3 ? "Emp_YTD_Ded" : "Emp_YTD_ded") + n);
    });
    for (const char* f :
         {"Emp_sex", "Emp_highschool", "Emp_college", "Emp_universite", "Emp_masters", "Emp_phd"})
        t.boolean(f);
    for (const char* f :
         {"Emp_college_degree", "Emp_universite_degree", "Emp_master_degree", "Emp_phd_degree"})
        t.text(f, 20);
    t.text("Emp_spouse", 40).int16("Emp_#_children").text("Emp_Emergency_tel", 20);
    t.money("Emp_starting_pay").boolean("Emp_starting_hourly").text("Emp_starting_position", 20);
    t.money("Emp_current_pay").boolean("Emp_current_hourly").text("Emp_current_position", 20);
    t.text("Emp_vacation_entitlement", 10);
    t.each(1, 3, [](TableBuilder& b, const std::string& n) {
        b.date("Emp_vacation_from_" + n).date("Emp_vacation_to_" + n);
    });
    t.series(FieldType::Text, "Emp_training_course_", 1, 5, 20);
    t.series(FieldType::Date, "Emp_training_date_", 1, 5);
    t.series(FieldType::Float, "Emp_training_hours_", 1, 5);
    t.series(FieldType::Boolean, "Emp_training_inhouse_", 1, 5);
    t.series(FieldType::Boolean, "Emp_training_completed_", 1, 5);
    t.memo("Emp_carrer_objectives", 40).date("Emp_next_review").date("Emp_current_review");
    for (const char* f : {"Emp_curr_excellent", "Emp_curr_verygood", "Emp_curr_good", "Emp_curr_satisfactory",
                          "Emp_curr_other"})
        t.boolean(f);
    t.memo("Emp_curr_memo", 40).date("Emp_prev_review");
    for (const char* f : {"Emp_prev_excellent", "Emp_prev_verygood", "Emp_prev_good", "Emp_prev_satisfactory",
                          "Emp_prev_other"})
        t.boolean(f);
    t.memo("Emp_prev_memo", 40).int16("Emp_no_pay").money("Emp_ytd_bonus").money("Emp_ytd_mr19_17");
    t.key({"Emp_Code"});
    return {t};
}

} // namespace vm::schema::detail
