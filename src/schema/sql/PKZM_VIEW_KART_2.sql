CREATE PROCEDURE PKZM_VIEW_KART_2 (
jedn INTEGER)
RETURNS (
nr_oper INTEGER,
NR_IDENT VARCHAR(14),
nazwisko VARCHAR(40),
idstopien INTEGER,
nrjedn INTEGER,
idjedn INTEGER,
idstawkaw INTEGER,
idstawka INTEGER,
cywil INTEGER)
AS
BEGIN
  FOR SELECT K.NR_OPER, K.NR_IDENT, K.NAZWISKO, K.IDSTOPIEN, K.IDSTAWKAW, K.IDSTAWKA
      FROM KZM_KART K
      INTO :nr_oper, :NR_IDENT, :nazwisko, :idstopien, :idstawkaw, :idstawka
  DO
  BEGIN
    /* The unit of the assignment in force today; -1 asks for every person, with or
       without a unit. */
    idjedn = NULL;
    nrjedn = NULL;
    SELECT P.IDJEDN FROM PKZM_PRZYDZIAL_1(:nr_oper, CURRENT_DATE) P INTO :idjedn;
    IF (jedn = -1 OR idjedn = jedn) THEN
    BEGIN
      IF (idjedn IS NOT NULL) THEN
        SELECT J.NUMER FROM KZM_JEDNOSTKI J WHERE J.ID = :idjedn INTO :nrjedn;
      IF (nr_oper < 5000) THEN
        cywil = 0;
      ELSE
        cywil = 1;
      SUSPEND;
    END
  END
END;
