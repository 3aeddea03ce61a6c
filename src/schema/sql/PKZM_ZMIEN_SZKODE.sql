CREATE PROCEDURE PKZM_ZMIEN_SZKODE (
ID_DANE INTEGER,
IDP INTEGER,
IDS5 INTEGER,
DATAP DATE)
AS
DECLARE VARIABLE P_WODA INTEGER;
DECLARE VARIABLE P_STAWKA_DW NUMERIC(6,2);
BEGIN
  IF (COALESCE(IDP, 0) = 0) THEN
  BEGIN
    /* No correction: the results fall back to the event type's values. */
    UPDATE KZM_DANE SET
      POPRAWKA = 0, PWODA = 0, PSTAWKA_DW = 0, S5 = 0, DATA_POPR = NULL,
      RWODA = WODA, RSTAWKA_DW = STAWKA_DW
    WHERE ID = :ID_DANE;
  END
  ELSE
  BEGIN
    /* The correction's water and payout replace the event type's in the results;
       an unknown correction code gives nulls. */
    P_WODA = NULL;
    P_STAWKA_DW = NULL;
    SELECT S.WODA, S.STAWKA_DW FROM KZM_SZKODY_2 S
    WHERE S.ID = :IDP
    INTO :P_WODA, :P_STAWKA_DW;
    UPDATE KZM_DANE SET
      POPRAWKA = :IDP,
      PWODA = :P_WODA, RWODA = :P_WODA,
      PSTAWKA_DW = :P_STAWKA_DW, RSTAWKA_DW = :P_STAWKA_DW,
      S5 = :IDS5, DATA_POPR = :DATAP
    WHERE ID = :ID_DANE;
  END
END;
